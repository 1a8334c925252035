#pragma once

namespace poroten::platform {

// The program's name where the system shows one of its own: a box without a
// title, the user's data folder.
inline constexpr char kApplicationTitle[] = "poroten";

class Application {
public:
    virtual ~Application() = default;
    // Closes every window and ends the program as soon as the current event returns.
    virtual void quit() = 0;
};

}  // namespace poroten::platform
