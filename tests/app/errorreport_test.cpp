// Errors that handlers raise reach the one error report without unwinding
// through Qt: the text is shown, and the widget that ran the handler carries
// on as if the handler had returned.
#include "fakes/recordingmessages.h"

#include "app/application.h"
#include "core/error.h"
#include "core/handlerguard.h"
#include "platform/qt/qteventloop.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace zibbles;
using zibbles::testing::RecordingMessages;

namespace {

class ErrorReportTest : public ::testing::Test {
protected:
    void SetUp() override { app()->setMessageService(&messages); }
    void TearDown() override { app()->setMessageService(nullptr); }
    static ZibblesApplication *app() { return static_cast<ZibblesApplication *>(QCoreApplication::instance()); }

    RecordingMessages messages;
};

TEST_F(ErrorReportTest, AGuardedHandlerReportsItsErrorAndReturns)
{
    bool after = false;
    runGuarded([] { throw AppError("Cannot open file /x/Set1/F1"); });
    runGuarded([] { throw 42; });
    runGuarded([&] { after = true; });
    EXPECT_EQ(messages.errors, (std::vector<std::string>{"Cannot open file /x/Set1/F1", "Unknown error"}));
    EXPECT_TRUE(after);
}

TEST_F(ErrorReportTest, AButtonWhoseHandlerFailsIsReleasedAndClicksAgain)
{
    QPushButton button("Save");
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        runGuarded([&] {
            ++clicks;
            throw AppError("Failed to set data for 'F1'");
        });
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.isDown());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(messages.errors.size(), 2u);
}

TEST_F(ErrorReportTest, ATimerWhoseTickFailsReportsAndKeepsTicking)
{
    QtTimer timer;
    int ticks = 0;
    timer.onTick = [&] {
        if (++ticks == 3)
            timer.stop();
        throw AppError("Cannot open file /x/Set1/F2");
    };
    timer.start(1);
    for (int i = 0; i < 200 && timer.isActive(); ++i)
        QTest::qWait(5);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(messages.errors, std::vector<std::string>(3, "Cannot open file /x/Set1/F2"));
}

} // namespace
