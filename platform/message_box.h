#pragma once

#include <string_view>

namespace poroten::platform {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Modal, one OK button; returns when closed. Lines in text are separated by a
    // carriage return (13). An empty title shows the application title, "poroten".
    virtual void show(std::string_view title, std::string_view text) = 0;
};

}  // namespace poroten::platform
