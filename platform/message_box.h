#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace poroten::platform {

// A box as the player sees it: its title and its lines, top to bottom.
struct BoxContent {
    std::string title;
    std::vector<std::string> lines;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Modal, one OK button. Lines in text are separated by a carriage return
    // (13); an empty title shows kApplicationTitle.
    // closed (may be empty) runs once the box is closed: a desktop toolkit calls
    // it as its modal loop returns, before show returns; a browser, which cannot
    // block, returns at once and calls it later. Whatever must follow the box
    // goes in closed, never after the call.
    void show(std::string_view title, std::string_view text, std::function<void()> closed);

    // The title and lines the game's title and text make.
    static BoxContent contentOf(std::string_view title, std::string_view text);

protected:
    // Draws the box as given, and runs closed as show promises.
    virtual void present(const BoxContent& box, std::function<void()> closed) = 0;
};

}  // namespace poroten::platform
