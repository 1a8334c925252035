#pragma once

#include <functional>
#include <utility>

#include "platform/application.h"
#include "platform/win32/win32_window.h"

namespace poroten::platform::win32 {

class Win32Application : public platform::Application {
public:
    explicit Win32Application(Win32WindowFactory& windows) : windows_(windows) {}
    void quit() override;
    void onEnding(std::function<void()> ending) override { ending_ = std::move(ending); }
    // Runs the message loop until quit(); returns the exit code.
    int run();

private:
    Win32WindowFactory& windows_;
    std::function<void()> ending_;
};

}  // namespace poroten::platform::win32
