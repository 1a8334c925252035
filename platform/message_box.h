#pragma once

#include <functional>
#include <string_view>

namespace poroten::platform {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Modal, one OK button. Lines in text are separated by a carriage return
    // (13). An empty title shows kApplicationTitle.
    // closed (may be empty) runs once the box is closed: a desktop toolkit calls
    // it as its modal loop returns, before show returns; a browser, which cannot
    // block, returns at once and calls it later. Whatever must follow the box
    // goes in closed, never after the call.
    virtual void show(std::string_view title, std::string_view text,
                      std::function<void()> closed) = 0;
};

}  // namespace poroten::platform
