#pragma once

#include <functional>

namespace poroten::platform {

// The program's name where the system shows one of its own: a box without a
// title, the user's data folder.
inline constexpr char kApplicationTitle[] = "poroten";

class Application {
public:
    virtual ~Application() = default;
    // Closes every window and ends the program as soon as the current event returns.
    virtual void quit() = 0;
    // `ending` runs when the system ends the program or may end it without
    // another word: log-off or shut-down, a termination signal, the page left
    // or hidden. It runs at once, in the event loop's thread, and must finish
    // its work before it returns; a signal then ends the program as quit()
    // does. An empty function stops the reports.
    virtual void onEnding(std::function<void()> ending) = 0;
};

}  // namespace poroten::platform
