#include "platform/web/web_application.h"

#include <emscripten/emscripten.h>

#include <utility>

#include "platform/web/web_message_boxes.h"
#include "platform/web/web_timer.h"
#include "platform/texts.h"

extern "C" {
// library_poroten.js
void poroten_app_quit(const char* ended, const char* playAgain);
}

namespace poroten::platform::web {

namespace {

bool ended = false;

// One program per page, so one handler, as the page has one pagehide.
std::function<void(Ending)>& endingHandler() {
    static std::function<void(Ending)> handler;
    return handler;
}

}  // namespace

bool hasQuit() {
    return ended;
}

void WebApplication::quit() {
    ended = true;
    stopEveryTimer();
    forgetEveryBox();
    poroten_app_quit(kEnded, kPlayAgain);
}

void WebApplication::onEnding(std::function<void(Ending)> ending) {
    endingHandler() = std::move(ending);
}

}  // namespace poroten::platform::web

extern "C" EMSCRIPTEN_KEEPALIVE void poroten_on_ending(int forGood) {
    using poroten::platform::Ending;
    if (poroten::platform::web::hasQuit()) {
        return;
    }
    // A copy: the handler may replace itself.
    if (const auto ending = poroten::platform::web::endingHandler()) {
        ending(forGood ? Ending::ForGood : Ending::Perhaps);
    }
}
