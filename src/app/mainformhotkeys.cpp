// The main window's hotkeys, options dialog, screenshots and the tray items
// that switch the program on and off.
#include "mainform.h"

#include "trayicon.h"

#include "capture/screencapture.h"
#include "capture/screenshots.h"
#include "core/handlerguard.h"
#include "core/programsettings.h"
#include "hotkeys/hotkeydispatch.h"
#include "hotkeys/hotkeymanager.h"
#include "hotkeys/optform.h"
#include "library/zibbleslots.h"
#include "playback/playback.h"
#include "playback/scriptrunner.h"
#include "playback/sleepmode.h"

#include <QDateTime>

namespace zibbles {

namespace {

// What the hotkeys start are the main window's own operations.
class MainFormActions : public HotkeyActions {
public:
    explicit MainFormActions(TMainForm &form) : m_form(form) {}
    void runZibble(const std::string &slotKey) override { m_form.playback().runner().RunZibble(slotKey); }
    void toggleSleepMode() override { m_form.playback().sleep().ToggleSleepMode(); }
    void selectSet(int set) override { m_form.zibbleSlots().SelectSet(set); }
    void saveScreenshot() override { m_form.SaveScreenshot(); }

private:
    TMainForm &m_form;
};

} // namespace

void TMainForm::SetUpHotkeys()
{
    setUpHotkeys(*m_hotKeyManager1, *m_services.store, *m_services.settings);
    // The wanted hotkeys are registered again, by "Enabled Program" or by OK
    // in the options: the program is enabled, and the tray says so.
    m_tray->showIcon(0);
}

void TMainForm::HotKeyManager1HotKeyPressed(uint32_t HotKey, uint16_t)
{
    MainFormActions actions(*this);
    dispatchHotkey(HotKey, m_state.ZibbleRunning, m_state.StopRequested, actions);
}

void TMainForm::ToolbarButton973Click()
{
    if (!m_optForm)
        return;
    // A stored value that cannot be read is reported first; the dialog then
    // shows the options in effect, and its OK stores every value anew.
    runGuarded([this] { m_optForm->LoadHotkeyOptions(); });
    m_optForm->markHeldKeys(keysHeldElsewhere(*m_hotKeyManager1));
    m_optForm->exec();
}

void TMainForm::SaveScreenshot()
{
    const QImage image = CaptureDesktop();
    storeScreenshot(m_state.AppFolder, image, QDateTime::currentDateTime());
}

void TMainForm::RzToolbarButton16Click()
{
    openScreenshotFolder(m_state.AppFolder, *m_services.messages);
}

void TMainForm::EnableProgram()
{
    SetUpHotkeys(); // shows tray icon 0
}

void TMainForm::DisableProgram()
{
    m_hotKeyManager1->UnregisterAllHotkeys();
    m_tray->showIcon(1);
}

} // namespace zibbles
