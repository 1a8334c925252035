#pragma once

#include <functional>

#include "platform/application.h"

namespace poroten::platform::web {

// A page cannot close its own tab: quitting stops the game and says so.
// The page left or frozen is the program ending; hidden, it may be
// (poroten_on_ending).
class WebApplication : public Application {
public:
    void quit() override;
    void onEnding(std::function<void(Ending)> ending) override;
};

// Whether the game has quit; from then on the page's events reach nothing.
bool hasQuit();

}  // namespace poroten::platform::web

extern "C" {
// library_poroten.js calls it on pagehide and freeze (forGood 1) and on the
// page turning hidden (0).
void poroten_on_ending(int forGood);
}
