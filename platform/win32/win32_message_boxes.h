#pragma once

#include <string>

#include "platform/message_box.h"

namespace poroten::platform::win32 {

class Win32MessageBoxes : public platform::MessageBoxes {
public:
    void show(std::string_view title, std::string_view text, std::function<void()> closed) override;
};

// The game separates lines with a lone CR; the message box wants CR LF.
std::wstring messageBoxText(std::string_view utf8);

}  // namespace poroten::platform::win32
