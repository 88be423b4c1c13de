// Zibbles: plays short scripts into the There window on a function key.
#include "application.h"
#include "appfolder.h"
#include "mainform.h"
#include "programsettings.h"

#include "platform/qteventloop.h"
#include "platform/qtmessages.h"
#include "platform/userstore.h"

int main(int argc, char **argv)
{
    using namespace zibbles;
    ZibblesApplication app(argc, argv);

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

    TMainForm mainForm(services);
    mainForm.show();
    return app.exec();
}
