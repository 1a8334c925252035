#pragma once

#include <functional>
#include <utility>

#include "platform/application.h"
#include "platform/win32/win32_window.h"

namespace poroten::platform::win32 {

class Win32Application : public platform::Application {
public:
    explicit Win32Application(Win32WindowFactory& windows);
    ~Win32Application() override;
    Win32Application(const Win32Application&) = delete;
    Win32Application& operator=(const Win32Application&) = delete;
    void quit() override;
    void onEnding(std::function<void(Ending)> ending) override { ending_ = std::move(ending); }
    // Runs the message loop until quit(); returns the exit code.
    int run();

private:
    Win32WindowFactory& windows_;
    std::function<void(Ending)> ending_;
    // Set once the game has heard of this end of the session, which each of
    // its windows reports, once as it may come and once as it comes.
    bool sessionEnding_ = false;
};

}  // namespace poroten::platform::win32
