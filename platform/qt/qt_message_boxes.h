#pragma once

#include <string_view>

#include "platform/message_box.h"

namespace poroten::platform::qt {

class QtMessageBoxes : public MessageBoxes {
public:
protected:
    void present(const BoxContent& box, std::function<void()> closed) override;
};

}  // namespace poroten::platform::qt
