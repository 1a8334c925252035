#include "platform/web/web_message_boxes.h"

#include <map>
#include <string>

#include "platform/application.h"

extern "C" {
// library_poroten.js
void poroten_box_show(int box, const char* title, const char* text);
}

namespace poroten::platform::web {

namespace {

std::map<int, std::function<void()>>& openBoxes() {
    static std::map<int, std::function<void()>> boxes;
    return boxes;
}

}  // namespace

std::function<void()> takeClosed(int box) {
    const auto it = openBoxes().find(box);
    if (it == openBoxes().end()) {
        return {};
    }
    auto closed = std::move(it->second);
    openBoxes().erase(it);
    return closed;
}

void forgetEveryBox() {
    openBoxes().clear();
}

void WebMessageBoxes::show(std::string_view title, std::string_view text,
                           std::function<void()> closed) {
    static int nextBox = 0;
    const int box = ++nextBox;
    openBoxes()[box] = std::move(closed);
    poroten_box_show(box, std::string(title.empty() ? kApplicationTitle : title).c_str(),
                     std::string(text).c_str());
}

}  // namespace poroten::platform::web
