#pragma once

#include <functional>

// kApplicationTitle
#include "platform/texts.h"

namespace poroten::platform {

// How the system is leaving the program.
enum class Ending {
    // Log-off or shut-down, a termination signal, the page left: nothing of
    // the program runs after this.
    ForGood,
    // The page hidden: it may be killed without another word, or come back
    // and go on as if nothing happened.
    Perhaps,
};

class Application {
public:
    virtual ~Application() = default;
    // Closes every window and ends the program as soon as the current event
    // returns; no window can refuse.
    virtual void quit() = 0;
    // `ending` runs when the system ends the program or may end it without
    // another word. It runs at once, in the event loop's thread, and must
    // finish its work before it returns; after Ending::ForGood the program
    // ends as quit() does. An empty function stops the reports.
    virtual void onEnding(std::function<void(Ending)> ending) = 0;
};

}  // namespace poroten::platform
