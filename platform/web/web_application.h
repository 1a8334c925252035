#pragma once

#include "platform/application.h"

namespace poroten::platform::web {

// A page cannot close its own tab: quitting stops the game and says so.
class WebApplication : public Application {
public:
    void quit() override;
};

// Whether the game has quit; from then on the page's events reach nothing.
bool hasQuit();

}  // namespace poroten::platform::web
