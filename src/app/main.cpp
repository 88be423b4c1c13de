// Zibbles: plays short scripts into the There window on a function key.
#include "appfolder.h"
#include "application.h"
#include "chrome.h"
#include "mainform.h"

#include "core/programsettings.h"
#include "hotkeys/optform.h"
#include "platform/desktop.h"
#include "platform/eventloop.h"
#include "platform/globalhotkeys.h"
#include "platform/mediaplayer.h"
#include "platform/messages.h"
#include "platform/singleinstance.h"
#include "platform/userstore.h"
#include "playback/performersdialog.h"

#include <memory>

int main(int argc, char **argv)
{
    using namespace zibbles;
    ZibblesApplication app(argc, argv);
    // One copy per user and display: a second start brings the first forward.
    SingleInstance instance;
    if (!instance.claim())
        return 0;

    const auto messages = createMessageService();
    app.setMessageService(messages.get());
    UserStore store(UserStore::defaultPath());
    ProgramSettings settings;
    const auto pump = createMessagePump();
    const auto timers = createTimerFactory();

    Services services;
    services.appFolder = appFolderFor(QCoreApplication::applicationFilePath().toStdString());
    services.store = &store;
    services.settings = &settings;
    services.pump = pump.get();
    services.timers = timers.get();
    services.messages = messages.get();
    // The desktop that zibbles are typed into; without an X server the
    // program still starts, and types nothing.
    std::unique_ptr<Desktop> desktop;
    try {
        desktop = createDesktop();
    } catch (const std::exception &e) {
        messages->showError(e.what());
    }
    services.desktop = desktop.get();
    services.soundModule = defaultSoundModulePath(QCoreApplication::applicationDirPath().toStdString() + "/");
    // System-wide hotkeys; without an X server every one is refused.
    const auto hotkeys = createGlobalHotkeys();
    services.hotkeys = hotkeys.get();

    TMainForm mainForm(services);
    TOptForm optForm(store, [&mainForm] { mainForm.SetUpHotkeys(); });
    optForm.setFont(windowFont()); // the dialog was laid out for the main window's font
    mainForm.setOptionsForm(&optForm);
    TPerformers1 performers(store, settings, *messages);
    mainForm.setPerformersDialog(&performers);
    instance.onShowRequested = [&mainForm] { mainForm.RestoreFromTray(); };
    mainForm.show();
    return app.exec();
}
