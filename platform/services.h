// Everything the game needs of a toolkit and runtime, in one bundle handed to
// the game's constructors.
#pragma once

#include "platform/application.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/random.h"
#include "platform/text_codec.h"
#include "platform/timer.h"
#include "platform/window.h"

namespace poroten::platform {

struct Services {
    WindowFactory& windows;
    TimerFactory& timers;
    MessageBoxes& messageBoxes;
    Application& application;
    Random& random;
    TextCodec& codec;
    Files& files;
};

}  // namespace poroten::platform
