#include "platform/web/web_message_boxes.h"

#include <map>
#include <string>

#include "platform/web/json.h"
#include "platform/texts.h"

extern "C" {
// library_boxes.js; lines is a JSON array of strings, ok the button's text.
void poroten_box_show(int box, const char* title, const char* lines, const char* ok);
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

void WebMessageBoxes::present(const BoxContent& content, std::function<void()> closed) {
    static int nextBox = 0;
    const int box = ++nextBox;
    openBoxes()[box] = std::move(closed);
    JsonWriter lines;
    lines.beginArray();
    for (const std::string& line : content.lines) {
        lines.value(line);
    }
    lines.endArray();
    poroten_box_show(box, content.title.c_str(), lines.text().c_str(), kBoxOk);
}

}  // namespace poroten::platform::web
