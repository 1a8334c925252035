// Quitting on Qt, and the ending reported.
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

// A window that comes up after the quit was asked for (as a name window
// could, from a box the quit hid) and refuses to close cannot call it off.
TEST(QtApplication, AWindowRefusingToCloseCannotCallTheQuitOff) {
    platform::qt::QtWindowFactory factory;
    platform::qt::QtApplication application;
    RecordingEvents events;
    auto window = factory.createWindow(game::form1Layout(), events);
    application.quit();
    window->show();
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    window->hide();
}

// A second signal while the ending is still at work (a save stuck on a hung
// network home, say) ends the program at once.
TEST(QtApplicationDeathTest, ASecondSignalWhileTheEndingRunsEndsTheProgramAtOnce) {
    EXPECT_EXIT(
        {
            platform::qt::QtApplication application;
            application.onEnding([](platform::Ending) {
                std::raise(SIGTERM);
                std::_Exit(3);
            });
            std::raise(SIGTERM);
            QTimer::singleShot(5000, [] { std::_Exit(4); });
            QApplication::exec();
            std::_Exit(5);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

// Ctrl+C in the terminal: the ending is reported from the event loop, not
// from the signal handler, and the program then quits.
TEST(QtApplication, ASignalReportsTheEndingInTheEventLoopThenQuits) {
    platform::qt::QtApplication application;
    int endings = 0;
    application.onEnding([&endings](platform::Ending how) {
        EXPECT_EQ(how, platform::Ending::ForGood);
        ++endings;
    });
    std::raise(SIGINT);
    EXPECT_EQ(endings, 0);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(endings, 1);
    application.onEnding({});
}

}  // namespace
}  // namespace poroten::testing
