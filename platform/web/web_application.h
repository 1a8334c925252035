#pragma once

#include <functional>
#include <utility>

#include "platform/application.h"

namespace poroten::platform::web {

// A page cannot close its own tab: quitting stops the game and says so.
class WebApplication : public Application {
public:
    void quit() override;
    void onEnding(std::function<void()> ending) override { ending_ = std::move(ending); }

private:
    std::function<void()> ending_;
};

// Whether the game has quit; from then on the page's events reach nothing.
bool hasQuit();

}  // namespace poroten::platform::web
