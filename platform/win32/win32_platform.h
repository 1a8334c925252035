// Every service the game needs, on Win32. Keep it alive longer than anything
// built from its services.
#pragma once

#include "platform/clock_random.h"
#include "platform/cp932_codec.h"
#include "platform/services.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_message_boxes.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/win32_window.h"

namespace poroten::platform::win32 {

class Win32Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Services services() {
        return Services{windows_, timers_, messageBoxes_, application_, random_, codec_, files_};
    }

    Win32WindowFactory& windows() { return windows_; }
    Win32TimerFactory& timers() { return timers_; }
    Win32MessageBoxes& messageBoxes() { return messageBoxes_; }
    Win32Application& application() { return application_; }
    ClockRandom& random() { return random_; }
    Cp932Codec& codec() { return codec_; }
    Win32Files& files() { return files_; }

private:
    Win32WindowFactory windows_;
    Win32TimerFactory timers_;
    Win32MessageBoxes messageBoxes_;
    Win32Application application_{windows_};  // ends the program by taking the windows down
    ClockRandom random_;
    Cp932Codec codec_;
    Win32Files files_;
};

}  // namespace poroten::platform::win32
