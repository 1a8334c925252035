#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"

namespace poroten::platform::win32 {

class Win32MessageBoxes : public platform::MessageBoxes {
public:
protected:
    void present(const platform::BoxContent& box, std::function<void()> closed) override;
};

// A box's lines as the message box wants them: CR LF between them.
std::wstring messageBoxText(const std::vector<std::string>& lines);

}  // namespace poroten::platform::win32
