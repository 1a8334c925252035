#include "platform/message_box.h"

#include <utility>

#include "platform/application.h"

namespace poroten::platform {

BoxContent MessageBoxes::contentOf(std::string_view title, std::string_view text) {
    BoxContent box{title.empty() ? std::string(kApplicationTitle) : std::string(title), {}};
    for (;;) {
        const auto end = text.find('\r');
        box.lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return box;
        }
        text.remove_prefix(end + 1);
    }
}

void MessageBoxes::show(std::string_view title, std::string_view text,
                        std::function<void()> closed) {
    present(contentOf(title, text), std::move(closed));
}

}  // namespace poroten::platform
