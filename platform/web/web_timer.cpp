#include "platform/web/web_timer.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>
#include <set>

#include "platform/tick_schedule.h"
#include "platform/web/web_application.h"

namespace poroten::platform::web {

namespace {

constexpr double kSpinMs = 2.0;

std::set<WebTimer*>& liveTimers() {
    static std::set<WebTimer*> timers;
    return timers;
}

}  // namespace

void stopEveryTimer() {
    for (WebTimer* timer : liveTimers()) {
        timer->setEnabled(false);
    }
}

WebTimer::WebTimer(std::chrono::milliseconds interval, std::function<void()> onTimer)
    : interval_(static_cast<double>(interval.count())), onTimer_(std::move(onTimer)) {
    liveTimers().insert(this);
}

WebTimer::~WebTimer() {
    setEnabled(false);
    liveTimers().erase(this);
}

void WebTimer::setEnabled(bool enabled) {
    if (pending_ != 0) {
        emscripten_clear_timeout(pending_);
        pending_ = 0;
    }
    if (enabled && !hasQuit()) {
        const double now = emscripten_get_now();
        due_ = now + interval_;
        arm(now);
    }
}

void WebTimer::arm(double now) {
    pending_ = emscripten_set_timeout(&WebTimer::fired, std::max(0.0, due_ - now), this);
}

void WebTimer::fired(void* self) {
    auto* timer = static_cast<WebTimer*>(self);
    double now = emscripten_get_now();
    if (now < timer->due_) {
        // Browsers wake a timeout up to a millisecond or so early. Waiting
        // again would cost the clamp browsers put on short nested timeouts
        // (4 ms), so so short a wait is spent here instead.
        if (timer->due_ - now > kSpinMs) {
            timer->arm(now);
            return;
        }
        while (now < timer->due_) {
            now = emscripten_get_now();
        }
    }
    timer->due_ = nextTick(timer->due_, timer->interval_, now);
    timer->arm(now);
    // The handler may disable or re-enable this timer; nothing here runs after it.
    timer->onTimer_();
}

std::unique_ptr<Timer> WebTimerFactory::createTimer(std::chrono::milliseconds interval,
                                                    std::function<void()> onTimer) {
    return std::make_unique<WebTimer>(interval, std::move(onTimer));
}

}  // namespace poroten::platform::web
