// Zibbles: plays short scripts into the There window on a function key.
#include "appfolder.h"
#include "application.h"
#include "chrome.h"
#include "mainform.h"

#include "core/programsettings.h"
#include "hotkeys/optform.h"
#include "platform/mediaplayer.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtmessages.h"
#include "platform/singleinstance.h"
#include "platform/userstore.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11hotkeys.h"
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

    QtMessageService messages;
    app.setMessageService(&messages);
    UserStore store(UserStore::defaultPath());
    ProgramSettings settings;
    QtMessagePump pump;
    QtTimerFactory timers;

    Services services;
    services.appFolder = appFolderFor(QCoreApplication::applicationFilePath().toStdString());
    services.store = &store;
    services.settings = &settings;
    services.pump = &pump;
    services.timers = &timers;
    services.messages = &messages;
    // The desktop that zibbles are typed into; without an X server the
    // program still starts, and types nothing.
    std::unique_ptr<X11Desktop> desktop;
    try {
        desktop = std::make_unique<X11Desktop>();
    } catch (const std::exception &e) {
        messages.showError(e.what());
    }
    services.desktop = desktop.get();
    services.soundModule = defaultSoundModulePath(QCoreApplication::applicationDirPath().toStdString() + "/");
    // System-wide hotkeys; without an X server every one is refused.
    X11GlobalHotkeys hotkeys;
    services.hotkeys = &hotkeys;

    TMainForm mainForm(services);
    TOptForm optForm(store, [&mainForm] { mainForm.SetUpHotkeys(); });
    optForm.setFont(windowFont()); // the dialog was laid out for the main window's font
    mainForm.setOptionsForm(&optForm);
    TPerformers1 performers(store, settings, messages);
    mainForm.setPerformersDialog(&performers);
    instance.onShowRequested = [&mainForm] { mainForm.RestoreFromTray(); };
    mainForm.show();
    return app.exec();
}
