// Timers and quitting on Qt.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <memory>

#include "game/layout.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_window.h"
#include "qt_test_support.h"

namespace poroten::testing {
namespace {

using namespace std::chrono_literals;

TEST(QtTimers, RepeatUntilStoppedAndMayBeSwitchedFromAnyHandler) {
    platform::qt::QtTimerFactory timers;
    int firstTicks = 0;
    int secondTicks = 0;
    std::unique_ptr<platform::Timer> second;
    std::unique_ptr<platform::Timer> first = timers.createTimer(20ms, [&] {
        // The second tick hands over to the other timer and stops this one.
        if (++firstTicks == 2) {
            first->setEnabled(false);
            second->setEnabled(true);
        }
    });
    second = timers.createTimer(20ms, [&] { ++secondTicks; });

    QTest::qWait(80);
    EXPECT_FALSE(first->isEnabled());
    EXPECT_EQ(firstTicks, 0) << "timers are created disabled";

    first->setEnabled(true);
    EXPECT_TRUE(first->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondTicks >= 3; }, 5000));
    EXPECT_EQ(firstTicks, 2);
    EXPECT_FALSE(first->isEnabled());
    EXPECT_TRUE(second->isEnabled());

    second->setEnabled(false);
    const int stoppedAt = secondTicks;
    QTest::qWait(80);
    EXPECT_EQ(secondTicks, stoppedAt);
}

TEST(QtTimers, EnablingARunningTimerRestartsItsInterval) {
    platform::qt::QtTimerFactory timers;
    int ticks = 0;
    auto timer = timers.createTimer(1000ms, [&] { ++ticks; });
    timer->setEnabled(true);
    // Re-enabled every 100 ms, it never reaches a full interval; the margin
    // is wide so that a busy machine does not make it tick anyway.
    for (int i = 0; i < 6; ++i) {
        QTest::qWait(100);
        timer->setEnabled(true);
    }
    EXPECT_EQ(ticks, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }, 5000));
}

TEST(QtApplication, QuitHidesEveryWindowAndEndsTheEventLoop) {
    platform::qt::QtWindowFactory factory;
    platform::qt::QtApplication application;
    // Like the game: the close box asks to quit. Quitting must not close
    // windows in turn and come back here.
    struct QuitOnClose : RecordingEvents {
        platform::Application* app = nullptr;
        void onCloseRequest() override {
            ++closeRequests;
            app->quit();
        }
    } events;
    events.app = &application;
    auto main = factory.createWindow(game::form1Layout(), events);
    auto other = factory.createWindow(game::form1Layout(), events);
    main->show();
    other->show();
    QWidget* shown = visibleWindow(QStringLiteral("Form1"));
    ASSERT_NE(shown, nullptr);

    bool timedOut = false;
    QTimer::singleShot(0, [shown] { shown->close(); });
    QTimer::singleShot(5000, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(events.closeRequests, 1);
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(other->isVisible());

    // The other tests run event loops of their own after this one.
    QEventLoop after;
    QTimer::singleShot(10, &after, [&after] { after.exit(7); });
    ASSERT_EQ(after.exec(), 7);
}

// Ctrl+C in the terminal: the ending is reported from the event loop, not
// from the signal handler, and the program then quits.
TEST(QtApplication, ASignalReportsTheEndingInTheEventLoopThenQuits) {
    platform::qt::QtApplication application;
    int endings = 0;
    application.onEnding([&endings] { ++endings; });
    std::raise(SIGINT);
    EXPECT_EQ(endings, 0);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(endings, 1);
    application.onEnding({});
}

}  // namespace
}  // namespace poroten::testing
