// Every service the game needs, in a browser page. The page is drawn by
// library_poroten.js; each service's file routes its part of it.
#pragma once

#include "platform/clock_random.h"
#include "platform/cp932_codec.h"
#include "platform/services.h"
#include "platform/web/web_application.h"
#include "platform/web/web_files.h"
#include "platform/web/web_message_boxes.h"
#include "platform/web/web_timer.h"
#include "platform/web/web_window.h"

namespace poroten::platform::web {

class WebPlatform {
public:
    WebPlatform() = default;
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    Services services() {
        return Services{windows_, timers_, messageBoxes_, application_, random_, codec_, files_};
    }

    WebWindowFactory& windows() { return windows_; }
    WebTimerFactory& timers() { return timers_; }
    WebMessageBoxes& messageBoxes() { return messageBoxes_; }
    WebApplication& application() { return application_; }
    ClockRandom& random() { return random_; }
    Cp932Codec& codec() { return codec_; }
    WebFiles& files() { return files_; }

private:
    WebWindowFactory windows_;
    WebTimerFactory timers_;
    WebMessageBoxes messageBoxes_;
    WebApplication application_;
    ClockRandom random_;
    Cp932Codec codec_;
    WebFiles files_;
};

}  // namespace poroten::platform::web
