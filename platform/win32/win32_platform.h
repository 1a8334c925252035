// Every service the game needs, on Win32.
#pragma once

#include "platform/platform_bundle.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_message_boxes.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/win32_window.h"

namespace poroten::platform::win32 {

using Win32Platform = PlatformBundle<Win32WindowFactory, Win32TimerFactory, Win32MessageBoxes,
                                     Win32Application, Win32Files>;

}  // namespace poroten::platform::win32
