#pragma once
// A main window over a temporary program folder and per-user store, with the
// message boxes recorded instead of shown.
#include "fakes/recordingmessages.h"
#include "fakes/tempdir.h"

#include "app/application.h"
#include "app/mainform.h"
#include "core/programsettings.h"
#include "platform/qt/qteventloop.h"
#include "platform/userstore.h"

#include <memory>

namespace zibbles::testing {

// With `startNow` false, a test can put files in place and replace services
// with fakes before it calls start().
class FormHarness {
public:
    explicit FormHarness(bool startNow = true)
    {
        static_cast<ZibblesApplication *>(QCoreApplication::instance())->setMessageService(&messages);
        services.appFolder = dir.path();
        services.store = &store;
        services.settings = &settings;
        services.pump = &pump;
        services.timers = &timers;
        services.messages = &messages;
        if (startNow)
            start();
    }
    ~FormHarness()
    {
        form.reset();
        static_cast<ZibblesApplication *>(QCoreApplication::instance())->setMessageService(nullptr);
    }

    TMainForm &start()
    {
        form = std::make_unique<TMainForm>(services);
        return *form;
    }

    TempDir dir;
    TempDir configDir;
    UserStore store{configDir.file("user.reg")};
    ProgramSettings settings;
    QtMessagePump pump;
    QtTimerFactory timers;
    RecordingMessages messages;
    Services services;
    std::unique_ptr<TMainForm> form;
};

} // namespace zibbles::testing
