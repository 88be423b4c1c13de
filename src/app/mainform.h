#pragma once
// The main window: it owns the run-time state, the editor and the timers, and
// wires the controls to the zibble library.
#include "services.h"

#include "core/mainstate.h"
#include "platform/desktop.h"

#include <QWidget>

#include <array>
#include <memory>

class QButtonGroup;
class QMenu;
class QPushButton;

namespace zibbles {

class Timer;
class TrayIcon;
class WindowChrome;
class Playback;
class TPerformers1;
class THotKeyManager;
class TOptForm;
class SlotEditor;
class ZibbleEditor;
class ZibbleSlots;
class LiveShareButton;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(const Services &services, QWidget *parent = nullptr);
    ~TMainForm() override; // FormDestroy

    MainState &state() { return m_state; }
    const Services &services() const { return m_services; }

    // The set and slot shown in the editor.
    ZibbleSlots &zibbleSlots() { return *m_slots; }
    // The script runner, chat output, sleep mode and sound player.
    Playback &playback() { return *m_playback; }
    // The performers dialog, created hidden at start-up by the program entry.
    void setPerformersDialog(TPerformers1 *dialog) { m_performers = dialog; }
    // Fills the performers dialog from the store and shows it modally.
    void showPerformersDialog();

    // Hotkeys and the options dialog.
    void SetUpHotkeys();
    void HotKeyManager1HotKeyPressed(uint32_t HotKey, uint16_t Index);
    THotKeyManager &HotKeyManager1() { return *m_hotKeyManager1; }
    // The options dialog, created hidden at start-up by the program entry.
    void setOptionsForm(TOptForm *dialog) { m_optForm = dialog; }
    void ToolbarButton973Click(); // Options: load the stored options, show the dialog
    QPushButton *optionsButton() const { return m_optionsButton; }
    QMenu *optionsMenu() const { return m_optionsMenu; }

    // Screenshots.
    void SaveScreenshot();
    void RzToolbarButton16Click(); // Screen Shots: open the folder
    QPushButton *screenShotsButton() const { return m_screenShotsButton; }

    // Tray items.
    void EnableProgram();
    void DisableProgram();
    void Exit1Click();
    void HideToTray();
    void RestoreFromTray();

    ZibbleEditor *editor() const { return m_editor; }
    QPushButton *setButton() const { return m_setButton; }
    QPushButton *saveButton() const { return m_saveButton; }
    QPushButton *slotButton(int slot) const { return m_slotButtons.at(size_t(slot - 1)); }
    QMenu *setMenu() const { return m_setMenu; }
    TrayIcon *trayIcon() const { return m_tray; }
    LiveShareButton *liveShareButton() const { return m_liveShare.get(); }
    // The window's pictures, font and hints; the " Emotes" button and its insertion menu.
    WindowChrome *chrome() const { return m_chrome; }
    QPushButton *emotesButton() const { return m_emotesButton; }
    QMenu *insertionMenu() const { return m_insertionMenu; }
    Timer &waitTimer() { return *m_timer1; }

protected:
    void closeEvent(QCloseEvent *event) override;   // FormClose
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    // A settings file that cannot be read is kept aside before it is
    // replaced; the user hears of it.
    void tellWhenSettingsAreKeptAside();
    void createHotkeyControls();
    void LoadPerformersSettings();
    void Timer1Timer();
    void createControls();

    Services m_services;
    MainState m_state;
    std::unique_ptr<Timer> m_timer1;
    std::unique_ptr<Playback> m_playback; // uses Timer1: declared after it
    TPerformers1 *m_performers = nullptr;
    std::unique_ptr<THotKeyManager> m_hotKeyManager1;
    TOptForm *m_optForm = nullptr;
    QPushButton *m_optionsButton = nullptr;
    QMenu *m_optionsMenu = nullptr;
    QPushButton *m_screenShotsButton = nullptr;

    ZibbleEditor *m_editor = nullptr;
    QPushButton *m_setButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QMenu *m_setMenu = nullptr;
    QButtonGroup *m_slotGroup = nullptr;
    std::array<QPushButton *, 12> m_slotButtons{};
    TrayIcon *m_tray = nullptr;
    WindowChrome *m_chrome = nullptr;
    QPushButton *m_emotesButton = nullptr;
    QMenu *m_insertionMenu = nullptr;
    bool m_centred = false;
    std::unique_ptr<LiveShareButton> m_liveShare;
    std::unique_ptr<SlotEditor> m_slotEditor;
    std::unique_ptr<ZibbleSlots> m_slots;
};

} // namespace zibbles
