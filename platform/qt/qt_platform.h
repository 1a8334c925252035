// Every service the game needs, on Qt. Construct after the QApplication and
// keep it alive longer than anything built from its services.
#pragma once

#include "platform/clock_random.h"
#include "platform/cp932_codec.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_files.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_window.h"
#include "platform/services.h"

namespace poroten::platform::qt {

class QtPlatform {
public:
    QtPlatform() = default;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    Services services() {
        return Services{windows_, timers_, messageBoxes_, application_, random_, codec_, files_};
    }

    QtWindowFactory& windows() { return windows_; }
    QtTimerFactory& timers() { return timers_; }
    QtMessageBoxes& messageBoxes() { return messageBoxes_; }
    QtApplication& application() { return application_; }
    ClockRandom& random() { return random_; }
    Cp932Codec& codec() { return codec_; }
    QtFiles& files() { return files_; }

private:
    QtWindowFactory windows_;
    QtTimerFactory timers_;
    QtMessageBoxes messageBoxes_;
    QtApplication application_;
    ClockRandom random_;
    Cp932Codec codec_;
    QtFiles files_;
};

}  // namespace poroten::platform::qt
