#include "platform/web/web_timer.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>
#include <set>

#include "platform/web/web_application.h"

namespace poroten::platform::web {

namespace {

constexpr std::chrono::milliseconds kSpin{2};

std::set<WebWakeUp*> live;

}  // namespace

void stopEveryTimer() {
    for (WebWakeUp* wakeUp : live) {
        wakeUp->cancel();
    }
}

WebWakeUp::WebWakeUp() {
    live.insert(this);
}

WebWakeUp::~WebWakeUp() {
    cancel();
    live.erase(this);
}

WakeUp::Time WebWakeUp::now() const {
    const std::chrono::duration<double, std::milli> sinceStart(emscripten_get_now());
    return Time(std::chrono::duration_cast<Time::duration>(sinceStart));
}

void WebWakeUp::wakeAt(Time at) {
    cancel();
    if (!hasQuit()) {
        at_ = at;
        const std::chrono::duration<double, std::milli> wait = at - now();
        pending_ = emscripten_set_timeout(&WebWakeUp::fired, std::max(0.0, wait.count()), this);
    }
}

void WebWakeUp::cancel() {
    emscripten_clear_timeout(pending_);
    pending_ = 0;
}

void WebWakeUp::fired(void* self) {
    auto* wakeUp = static_cast<WebWakeUp*>(self);
    wakeUp->pending_ = 0;
    // Browsers wake a timeout up to a millisecond or so early. Waiting again
    // would cost the clamp browsers put on short nested timeouts (4 ms), so so
    // short a wait is spent here instead.
    if (wakeUp->at_ - wakeUp->now() > kSpin) {
        wakeUp->wakeAt(wakeUp->at_);
        return;
    }
    while (wakeUp->now() < wakeUp->at_) {
    }
    wakeUp->wake();
}

}  // namespace poroten::platform::web
