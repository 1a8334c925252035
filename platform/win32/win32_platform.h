// Every Win32 service in one place, in the order they depend on each other.
#pragma once

#include "platform/clock_random.h"
#include "platform/cp932_codec.h"
#include "platform/services.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_message_boxes.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/win32_window.h"

namespace poroten::win32 {

struct Win32Platform {
    Win32WindowFactory windows;
    Win32TimerFactory timers;
    Win32MessageBoxes messageBoxes;
    Win32Application application{windows};
    platform::ClockRandom random;
    platform::Cp932Codec codec;
    Win32Files files;

    platform::Services services() {
        return {windows, timers, messageBoxes, application, random, codec, files};
    }
};

}  // namespace poroten::win32
