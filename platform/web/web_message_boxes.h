#pragma once

#include <functional>
#include <string_view>

#include "platform/message_box.h"

namespace poroten::platform::web {

// Boxes are modal dialogs in the page; the page cannot block, so show returns
// at once and closed runs when the player closes the box.
class WebMessageBoxes : public MessageBoxes {
public:
protected:
    void present(const BoxContent& box, std::function<void()> closed) override;
};

// What runs after the box the page numbered so, taken out of the open boxes
// (empty when there is none or nothing is to run).
std::function<void()> takeClosed(int box);

// Every box forgotten: the page has quit, nothing runs after them.
void forgetEveryBox();

}  // namespace poroten::platform::web
