#include "platform/web/web_application.h"

#include "platform/web/web_message_boxes.h"
#include "platform/web/web_timer.h"

extern "C" {
// library_poroten.js
void poroten_app_quit();
}

namespace poroten::platform::web {

namespace {

bool ended = false;

}  // namespace

bool hasQuit() {
    return ended;
}

void WebApplication::quit() {
    ended = true;
    stopEveryTimer();
    forgetEveryBox();
    poroten_app_quit();
}

}  // namespace poroten::platform::web
