#include "zibbleeditor.h"

#include "editmenu.h"
#include "editorsettings.h"
#include "highlightrules.h"
#include "zibblelexer.h"
#include "zibblefile.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <memory>

namespace zibbles {

namespace {
const QColor kEndMarkColor(255, 0, 255);
}

ZibbleEditor::ZibbleEditor(QWidget *parent) : QsciScintilla(parent)
{
    // Bytes in the editor are the file's bytes: no UTF-8 decoding.
    setUtf8(false);
    SendScintilla(SCI_SETCODEPAGE, 0L);
    setEolMode(EolWindows);
    applyEditorSettings(*this);
    // The end-of-text line moves with the last line.
    connect(this, &QsciScintilla::linesChanged, viewport(), qOverload<>(&QWidget::update));
    connect(this, &QsciScintilla::textChanged, this, &ZibbleEditor::fitScrollWidth);
}

void ZibbleEditor::fitScrollWidth()
{
    // Every style draws in the one fixed-pitch font, so the widest line is
    // the one of the most columns (tabs counted as drawn).
    const long lines = SendScintilla(SCI_GETLINECOUNT);
    long columns = 0;
    for (long line = 0; line < lines; ++line) {
        const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        columns = std::max(columns, SendScintilla(SCI_GETCOLUMN, static_cast<unsigned long>(end)));
    }
    const long column = SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_DEFAULT), "0");
    // Room for the caret behind the last character.
    SendScintilla(SCI_SETSCROLLWIDTH, static_cast<unsigned long>(std::max(1L, columns * column + column)));
}

std::string ZibbleEditor::textBytes() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    if (length <= 0)
        return {};
    const auto *bytes = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return std::string(bytes, size_t(length));
}

void ZibbleEditor::setTextBytes(const std::string &bytes)
{
    const std::string text = withCrLfBreaks(bytes);
    SendScintilla(SCI_CLEARALL);
    // Appending with a length keeps NUL bytes and is not cut at the first one.
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(text.size()), text.data());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_GOTOPOS, 0L);
}

void ZibbleEditor::insertFirstLine(const std::string &line)
{
    const std::string text = line + "\r\n";
    // Replacing an empty target takes a length, so NUL bytes survive.
    SendScintilla(SCI_SETTARGETSTART, 0UL);
    SendScintilla(SCI_SETTARGETEND, 0UL);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(text.size()), text.data());
}

void ZibbleEditor::replaceSelectionBytes(const std::string &text)
{
    SendScintilla(SCI_REPLACESEL, text.c_str());
}

std::optional<ColouredSpan> ZibbleEditor::colouredSpanAt(const QPoint &viewportPoint) const
{
    const long pos = SendScintilla(SCI_CHARPOSITIONFROMPOINTCLOSE, static_cast<unsigned long>(viewportPoint.x()),
                                   long(viewportPoint.y()));
    if (pos < 0)
        return std::nullopt;
    const LineBytes line = lineBytes(*this, SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)));
    for (const RuleSpan &span : findRuleSpans(line.text)) {
        const long start = line.begin + long(span.start), stop = line.begin + long(span.stop);
        if (pos >= start && pos < stop)
            return ColouredSpan{span.rule, ruleForStyle(span.rule)->context, start, stop};
    }
    return std::nullopt;
}

void ZibbleEditor::mouseReleaseEvent(QMouseEvent *event)
{
    QsciScintilla::mouseReleaseEvent(event);
    const bool dragged = event->button() != Qt::RightButton && hasSelectedText();
    if (dragged)
        return;
    if (const auto span = colouredSpanAt(event->position().toPoint()))
        emit colouredTextClicked(span->context, span->start, span->stop);
}

void ZibbleEditor::contextMenuEvent(QContextMenuEvent *event)
{
    // Over coloured text the right button reports the click (on release)
    // instead of opening the menu.
    if (event->reason() == QContextMenuEvent::Mouse && colouredSpanAt(event->pos())) {
        event->accept();
        return;
    }
    std::unique_ptr<QMenu> menu(createEditMenu(this, this));
    menu->exec(event->globalPos());
}

int ZibbleEditor::endMarkY() const
{
    const long last = SendScintilla(SCI_GETLINECOUNT) - 1;
    const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(last));
    const long top = SendScintilla(SCI_POINTYFROMPOSITION, 0UL, start);
    return int(top + SendScintilla(SCI_TEXTHEIGHT, static_cast<unsigned long>(last)));
}

void ZibbleEditor::paintEvent(QPaintEvent *event)
{
    QsciScintilla::paintEvent(event);
    QPainter painter(viewport());
    QPen pen(kEndMarkColor);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    const int y = endMarkY();
    painter.drawLine(0, y, viewport()->width(), y);
}

} // namespace zibbles
