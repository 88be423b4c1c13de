#include "zibbleeditor.h"

#include "zibblefile.h"

namespace zibbles {

ZibbleEditor::ZibbleEditor(QWidget *parent) : QsciScintilla(parent)
{
    // Bytes in the editor are the file's bytes: no UTF-8 decoding.
    setUtf8(false);
    SendScintilla(SCI_SETCODEPAGE, 0L);
    setEolMode(EolWindows);
    setWrapMode(WrapNone);
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

} // namespace zibbles
