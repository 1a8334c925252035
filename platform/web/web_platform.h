// Every service the game needs, in a browser page. The page is drawn by
// library_poroten.js; each service's file routes its part of it.
#pragma once

#include "platform/platform_bundle.h"
#include "platform/web/web_application.h"
#include "platform/web/web_files.h"
#include "platform/web/web_message_boxes.h"
#include "platform/web/web_timer.h"
#include "platform/web/web_window.h"

namespace poroten::platform::web {

using WebPlatform =
    PlatformBundle<WebWindowFactory, WebTimerFactory, WebMessageBoxes, WebApplication, WebFiles>;

}  // namespace poroten::platform::web
