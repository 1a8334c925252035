// Every service the game needs, on Qt. Construct after the QApplication.
#pragma once

#include "platform/platform_bundle.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_files.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_window.h"

namespace poroten::platform::qt {

using QtPlatform =
    PlatformBundle<QtWindowFactory, QtTimerFactory, QtMessageBoxes, QtApplication, QtFiles>;

}  // namespace poroten::platform::qt
