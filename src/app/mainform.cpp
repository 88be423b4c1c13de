#include "mainform.h"

#include "chrome.h"
#include "trayicon.h"

#include "core/handlerguard.h"
#include "core/programsettings.h"
#include "hotkeys/hotkeymanager.h"
#include "library/highlightrules.h"
#include "library/insertionmenu.h"
#include "library/zibbleeditor.h"
#include "library/zibblefile.h"
#include "library/zibbleset.h"
#include "library/zibbleslots.h"
#include "platform/eventloop.h"
#include "platform/mediaplayer.h"
#include "platform/messages.h"
#include "platform/screencentre.h"
#include "platform/userstore.h"
#include "playback/chatoutput.h"
#include "playback/performers.h"
#include "playback/performersdialog.h"
#include "playback/playback.h"
#include "playback/scriptrunner.h"
#include "playback/sleepmode.h"
#include "share/livesharebutton.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>
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

// The main window's editor, set button, slot buttons and Save button.
class FormSlotEditor : public SlotEditor {
public:
    FormSlotEditor(ZibbleEditor *editor, QPushButton *setButton, QPushButton *saveButton,
                   const std::array<QPushButton *, 12> &slotButtons)
        : m_editor(editor), m_setButton(setButton), m_saveButton(saveButton), m_slotButtons(slotButtons)
    {
    }
    std::string textBytes() const override { return m_editor->textBytes(); }
    void setTextBytes(const std::string &bytes) override { m_editor->setTextBytes(bytes); }
    void showSet(int set) override { m_setButton->setText(QStringLiteral("Zibble Set %1").arg(set)); }
    void showSlot(int slot) override { m_slotButtons[size_t(slot - 1)]->setChecked(true); }
    void showModified(bool modified) override { m_saveButton->setEnabled(modified); }

private:
    ZibbleEditor *m_editor;
    QPushButton *m_setButton;
    QPushButton *m_saveButton;
    std::array<QPushButton *, 12> m_slotButtons;
};

} // namespace

TMainForm::TMainForm(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_services(services)
{
    setWindowTitle(QStringLiteral("Zibbles by Quillmere"));
    setFixedSize(459, 461);
    m_chrome = new WindowChrome(this); // first, so its pictures lie under the controls
    createControls();
    LiveShareWiring liveShare;
    liveShare.editor = m_editor;
    liveShare.editorModified = [this] { return m_slots->EditorModified(); };
    liveShare.activeFileName = [this] { return m_state.ActiveFileName; };
    liveShare.saveActiveZibble = [this] { m_slots->SaveActiveZibble(); };
    liveShare.store = m_services.store;
    liveShare.messages = m_services.messages;
    liveShare.pump = m_services.pump;
    m_liveShare = std::make_unique<LiveShareButton>(this, std::move(liveShare));
    createHotkeyControls();
    m_timer1 = m_services.timers->createTimer();
    m_timer1->onTick = [this] { Timer1Timer(); };
    m_timer1->start(1000);
    PlaybackServices playback;
    playback.desktop = m_services.desktop;
    playback.player = m_services.mediaPlayer;
    playback.soundModule = m_services.soundModule;
    playback.pump = m_services.pump;
    playback.timers = m_services.timers;
    playback.settings = m_services.settings;
    m_playback = std::make_unique<Playback>(m_state, *m_timer1, playback);
    m_hotKeyManager1 = std::make_unique<THotKeyManager>(m_services.hotkeys);
    m_hotKeyManager1->OnHotKeyPressed = [this](uint32_t HotKey, uint16_t Index) {
        runGuarded([&] { HotKeyManager1HotKeyPressed(HotKey, Index); });
    };
    m_tray = new TrayIcon(this);
    tellWhenSettingsAreKeptAside();
    FormCreate();
}

TMainForm::~TMainForm()
{
    m_services.store->onKeptAside = nullptr;
    // FormDestroy: the window owns the lines of the zibble being played.
    m_state.ScriptLines.clear();
    m_state.ScriptLines.shrink_to_fit();
}

void TMainForm::tellWhenSettingsAreKeptAside()
{
    m_services.store->onKeptAside = [this](const std::string &copy) {
        m_services.messages->showMessage("Zibbles could not read all of its settings file \"" +
                                         m_services.store->filePath() + "\". A copy of it is kept as \"" + copy +
                                         "\".");
    };
}

void TMainForm::createControls()
{
    m_editor = new ZibbleEditor(this);
    m_editor->setGeometry(32, 152, 393, 257);
    connect(m_editor, &ZibbleEditor::textChanged, this, [this] { m_slots->setEditorModified(true); });
    connect(m_editor, &ZibbleEditor::colouredTextClicked, this, [this](int context, long, long) {
        if (context == kMisplacedCommandContext)
            m_services.messages->showMessage("Zibbles commands must be on lines by themselves with not spaces "
                                             "before them or after them.");
    });

    m_emotesButton = makeButton(this, QStringLiteral(" Emotes"), {200, 125, 89, 22},
                                QStringLiteral("Quick access to common Zibbles emotes and commands."));
    m_insertionMenu = buildInsertionMenu(m_editor, this);
    connect(m_emotesButton, &QPushButton::clicked, this, [this] {
        m_insertionMenu->popup(m_emotesButton->mapToGlobal(QPoint(0, m_emotesButton->height())));
    });

    m_setMenu = new QMenu(this);
    for (int n = 1; n <= kSetCount; ++n) {
        m_setMenu->addAction(QStringLiteral("Zibble Set %1 [Shift F%1]").arg(n), this,
                             [this, n] { runGuarded([&] { m_slots->SelectSet(n); }); });
    }
    m_setButton = makeButton(this, QStringLiteral("Zibble Set 1"), {296, 125, 105, 22},
                             QStringLiteral("You may only have 12 Function keys but you have 10 sets!"));
    connect(m_setButton, &QPushButton::clicked, this, [this] {
        m_setMenu->popup(m_setButton->mapToGlobal(QPoint(0, m_setButton->height())));
    });

    m_saveButton = makeButton(this, QStringLiteral("Save"), {128, 125, 65, 22}, QStringLiteral("Save edited work"));
    m_saveButton->setEnabled(false);
    m_saveButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { runGuarded([this] { m_slots->SaveActiveZibble(); }); });
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
    connect(m_slotGroup, &QButtonGroup::idClicked, this, [this](int k) { runGuarded([&] { m_slots->SelectSlot(k); }); });
    m_slotEditor = std::make_unique<FormSlotEditor>(m_editor, m_setButton, m_saveButton, m_slotButtons);
    m_slots = std::make_unique<ZibbleSlots>(m_state, *m_slotEditor);
}

void TMainForm::FormCreate()
{
    m_state.SleepMode = false;
    m_state.ExitRequested = false;
    m_state.AppFolder = m_services.appFolder;
    m_services.settings->PerformersMode = false;
    m_services.settings->CharacterName.clear();
    m_state.StopRequested = false;
    m_playback->MediaPlayer1().setFileName({});
    createMissingSetFolders(m_state.AppFolder);
    m_slots->SelectSet(1);
    m_state.ScriptLines.clear();
    SetUpHotkeys();
    LoadPerformersSettings();
}

void TMainForm::createHotkeyControls()
{
    m_optionsButton = makeButton(this, QStringLiteral("Options"), {328, 64, 81, 22},
                                 QStringLiteral("Set options and hot keys"));
    connect(m_optionsButton, &QPushButton::clicked, this, [this] { runGuarded([this] { ToolbarButton973Click(); }); });
    // The options menu is the Options button's right-click menu.
    m_optionsMenu = new QMenu(this);
    m_optionsMenu->addAction(QStringLiteral("Main Options"), this,
                             [this] { runGuarded([this] { ToolbarButton973Click(); }); });
    m_optionsMenu->addAction(QStringLiteral("Performers [The Director's Cut]"), this,
                             [this] { runGuarded([this] { showPerformersDialog(); }); });
    m_optionsButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_optionsButton, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_optionsMenu->popup(m_optionsButton->mapToGlobal(at)); });

    m_screenShotsButton = makeButton(this, QStringLiteral("Screen Shots"), {192, 32, 105, 22},
                                     QStringLiteral("Open screen shots folder"));
    connect(m_screenShotsButton, &QPushButton::clicked, this,
            [this] { runGuarded([this] { RzToolbarButton16Click(); }); });
}

void TMainForm::LoadPerformersSettings()
{
    // A stored value that cannot be read is reported; the start values stay.
    try {
        zibbles::LoadPerformersSettings(*m_services.store, *m_services.settings);
    } catch (const std::exception &e) {
        m_services.messages->showError(e.what());
    }
}

void TMainForm::showPerformersDialog()
{
    if (!m_performers)
        return;
    // A stored value that cannot be read is reported and the dialog not shown.
    try {
        m_performers->LoadFromRegistry();
    } catch (const std::exception &e) {
        m_services.messages->showError(e.what());
        return;
    }
    m_performers->exec();
}

void TMainForm::Timer1Timer()
{
    m_state.DelayPending = false;
}

void TMainForm::Exit1Click()
{
    // An edited zibble is written before the program ends, as choosing another
    // slot would. When that fails, the user may give the edit up and leave,
    // or go back to it: the program must never be left with no way out.
    try {
        m_slots->saveIfModified();
    } catch (const std::exception &e) {
        if (!m_services.messages->askYesNo(std::string(e.what()) + "\n\nThe edited zibble cannot be saved. "
                                           "Discard the edit and exit? (No goes back to it.)"))
            return;
    }
    m_slots->setEditorModified(false);
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
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) && m_tray->available())
        QTimer::singleShot(0, this, [this] { HideToTray(); });
}

void TMainForm::HideToTray()
{
    // Hidden, the window comes back only through the tray icon: without a
    // notification area to show it in, the window is minimised instead.
    if (m_tray->available())
        hide();
    else
        showMinimized();
}

void TMainForm::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        centreOnScreen(*this);
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
