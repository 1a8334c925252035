#pragma once

namespace poroten::platform {

class Application {
public:
    virtual ~Application() = default;
    // Closes every window and ends the program as soon as the current event returns.
    virtual void quit() = 0;
};

}  // namespace poroten::platform
