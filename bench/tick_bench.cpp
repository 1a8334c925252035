// The countdown's clock: the Qt timer adapter the game uses, at the game's
// 1000 ms interval, timed against the monotonic clock.
//
//   tick_bench [TICKS]
//
// Prints one line per tick, "tick=K late_us=N", where late_us is the tick's
// time minus its due time (start + K intervals); negative is early. The
// handler does no work of its own, so this measures the timer and the event
// loop under whatever load the machine has, not the game's repaint.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/qt/qt_timer.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 60;
    using Clock = std::chrono::steady_clock;
    constexpr std::chrono::milliseconds interval{1000};

    poroten::platform::qt::QtTimerFactory timers;
    int count = 0;
    Clock::time_point start;
    std::unique_ptr<poroten::platform::Timer> timer;
    timer = timers.createTimer(interval, [&] {
        const auto now = Clock::now();
        ++count;
        const auto late =
            std::chrono::duration_cast<std::chrono::microseconds>(now - (start + count * interval));
        std::printf("tick=%d late_us=%lld\n", count, static_cast<long long>(late.count()));
        std::fflush(stdout);
        if (count == ticks) {
            timer->setEnabled(false);
            QApplication::quit();
        }
    });
    start = Clock::now();
    timer->setEnabled(true);
    return app.exec();
}
