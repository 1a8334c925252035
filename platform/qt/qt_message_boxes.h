#pragma once

#include <string_view>

#include "platform/message_box.h"

namespace poroten::platform::qt {

class QtMessageBoxes : public MessageBoxes {
public:
    void show(std::string_view title, std::string_view text, std::function<void()> closed) override;
};

}  // namespace poroten::platform::qt
