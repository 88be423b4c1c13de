#include "mainform.h"

#include "programsettings.h"
#include "trayicon.h"

#include "library/zibbleeditor.h"
#include "library/zibblefile.h"
#include "library/zibbleset.h"
#include "platform/eventloop.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace zibbles {

namespace {

QPushButton *makeButton(QWidget *parent, const QString &caption, const QRect &geometry, const QString &hint)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    if (!hint.isEmpty())
        button->setToolTip(hint);
    return button;
}

} // namespace

TMainForm::TMainForm(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_services(services)
{
    setWindowTitle(QStringLiteral("Zibbles by Quillmere"));
    setFixedSize(459, 461);
    createControls();
    m_timer1 = m_services.timers->createTimer();
    m_timer1->onTick = [this] { Timer1Timer(); };
    m_timer1->start(1000);
    m_tray = new TrayIcon(this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    // FormDestroy: the window owns the lines of the zibble being played.
    m_state.ScriptLines.clear();
    m_state.ScriptLines.shrink_to_fit();
}

void TMainForm::createControls()
{
    m_editor = new ZibbleEditor(this);
    m_editor->setGeometry(32, 152, 393, 257);
    connect(m_editor, &ZibbleEditor::textChanged, this, &TMainForm::editorChanged);

    m_setMenu = new QMenu(this);
    for (int n = 1; n <= kSetCount; ++n) {
        m_setMenu->addAction(QStringLiteral("Zibble Set %1 [Shift F%1]").arg(n), this, [this, n] { SelectSet(n); });
    }
    m_setButton = makeButton(this, QStringLiteral("Zibble Set 1"), {296, 125, 105, 22},
                             QStringLiteral("You may only have 12 Function keys but you have 10 sets!"));
    connect(m_setButton, &QPushButton::clicked, this, [this] {
        m_setMenu->popup(m_setButton->mapToGlobal(QPoint(0, m_setButton->height())));
    });

    m_saveButton = makeButton(this, QStringLiteral("Save"), {128, 125, 65, 22}, QStringLiteral("Save edited work"));
    m_saveButton->setEnabled(false);
    m_saveButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { SaveActiveZibble(); });
    connect(m_saveButton, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_setMenu->popup(m_saveButton->mapToGlobal(at)); });

    m_slotGroup = new QButtonGroup(this);
    m_slotGroup->setExclusive(true);
    for (int k = 1; k <= kSlotCount; ++k) {
        auto *button = makeButton(this, QStringLiteral("F%1").arg(k), {24 + 32 * (k - 1), 416, 27, 22}, {});
        button->setCheckable(true);
        m_slotGroup->addButton(button, k);
        m_slotButtons[size_t(k - 1)] = button;
    }
    connect(m_slotGroup, &QButtonGroup::idClicked, this, [this](int k) { SelectSlot(k); });
}

void TMainForm::FormCreate()
{
    m_state.SleepMode = false;
    m_state.ExitRequested = false;
    m_state.AppFolder = m_services.appFolder;
    m_services.settings->PerformersMode = false;
    m_services.settings->CharacterName.clear();
    m_state.StopRequested = false;
    createMissingSetFolders(m_state.AppFolder);
    SelectSet(1);
    m_state.ScriptLines.clear();
    SetUpHotkeys();
    LoadPerformersSettings();
}

void TMainForm::SetUpHotkeys()
{
    // Registers the wanted hotkeys once the hotkey component exists.
}

void TMainForm::LoadPerformersSettings()
{
    // Reads the stored performers settings once performers mode exists.
}

void TMainForm::Timer1Timer()
{
    m_state.DelayPending = false;
}

void TMainForm::saveIfModified()
{
    if (m_editorModified)
        saveZibble(m_state.ActiveFileName, m_editor->textBytes());
}

void TMainForm::SelectSet(int set)
{
    // The edit of the shown slot is written first: when that fails, nothing
    // has changed yet and the user still sees the slot that holds the edit.
    saveIfModified();
    m_state.CurrentSet = set;
    m_slotButtons[0]->setChecked(true);
    m_setButton->setText(QStringLiteral("Zibble Set %1").arg(set));
    SelectSlot(1);
}

void TMainForm::SelectSlot(int slot)
{
    try {
        saveIfModified();
        // Read before anything changes: a slot file that cannot be read leaves
        // the editor and the active file together, so no later save can write
        // one slot's text into another.
        const std::string path = SlotFilePath(m_state.AppFolder, m_state.CurrentSet, slot);
        const std::string bytes = loadZibble(path);
        m_state.ActiveFileName = path;
        m_slotButtons[size_t(slot - 1)]->setChecked(true);
        m_editor->setTextBytes(bytes);
        setEditorModified(false);
    } catch (...) {
        pressActiveSlotButton();
        throw;
    }
}

void TMainForm::pressActiveSlotButton()
{
    for (int k = 1; k <= kSlotCount; ++k)
        if (SlotFilePath(m_state.AppFolder, m_state.CurrentSet, k) == m_state.ActiveFileName)
            m_slotButtons[size_t(k - 1)]->setChecked(true);
}

void TMainForm::SaveActiveZibble()
{
    saveIfModified();
    setEditorModified(false);
}

void TMainForm::editorChanged()
{
    setEditorModified(true);
}

void TMainForm::setEditorModified(bool modified)
{
    m_editorModified = modified;
    m_saveButton->setEnabled(modified);
}

void TMainForm::Exit1Click()
{
    // An edited zibble is written before the program ends, as choosing another
    // slot would; if that fails the program stays and the error is shown.
    saveIfModified();
    setEditorModified(false);
    m_state.ExitRequested = true;
    close();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (m_state.ExitRequested) {
        event->accept();
        QApplication::quit();
        return;
    }
    event->ignore();
    HideToTray();
}

void TMainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized))
        QTimer::singleShot(0, this, [this] { HideToTray(); });
}

void TMainForm::HideToTray()
{
    hide();
}

void TMainForm::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->geometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

void TMainForm::RestoreFromTray()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

} // namespace zibbles
