#include "platform/web/web_window.h"

#include <cstdlib>

#include "platform/web/window_markup.h"

extern "C" {
// library_poroten.js
// style is window_markup.h's styleJson.
int poroten_window_create(const char* markup, const char* style);
void poroten_window_show(int window);
void poroten_window_hide(int window);
void poroten_window_destroy(int window);
void poroten_label_set_text(int window, int id, const char* text);
void poroten_control_set_style(int window, int id, const char* property, const char* value);
char* poroten_textbox_text(int window, int id);
void poroten_textbox_set_text(int window, int id, const char* text);
}

namespace poroten::platform::web {

namespace {

std::map<int, WindowEvents*>& listed() {
    static std::map<int, WindowEvents*> windows;
    return windows;
}

}  // namespace

void listWindow(int handle, WindowEvents& events) {
    listed()[handle] = &events;
}

void unlistWindow(int handle) {
    listed().erase(handle);
}

WindowEvents* listedWindow(int handle) {
    const auto it = listed().find(handle);
    return it == listed().end() ? nullptr : it->second;
}

void WebLabel::setText(std::string_view utf8) {
    text_ = std::string(utf8);
    poroten_label_set_text(window_, id_, text_.c_str());
}

void WebLabel::setBackColour(Colour colour) {
    poroten_control_set_style(window_, id_, "background", cssColour(colour).c_str());
}

std::string WebTextBox::text() const {
    char* text = poroten_textbox_text(window_, id_);
    std::string out(text ? text : "");
    std::free(text);
    return out;
}

void WebTextBox::setText(std::string_view utf8) {
    poroten_textbox_set_text(window_, id_, std::string(utf8).c_str());
}

WebWindow::WebWindow(const WindowDesc& desc, WindowEvents& events)
    : handle_(poroten_window_create(windowMarkup(desc).c_str(), styleJson(desc).c_str())) {
    for (const ControlDesc& c : desc.controls) {
        if (c.kind == ControlKind::Label) {
            labels_.try_emplace(c.id, handle_, c.id, c.text);
        } else if (c.kind == ControlKind::TextBox) {
            textBoxes_.try_emplace(c.id, handle_, c.id);
        }
    }
    listWindow(handle_, events);
}

WebWindow::~WebWindow() {
    unlistWindow(handle_);
    poroten_window_destroy(handle_);
}

void WebWindow::show() {
    visible_ = true;
    poroten_window_show(handle_);
}

void WebWindow::hide() {
    visible_ = false;
    poroten_window_hide(handle_);
}

Label& WebWindow::label(int id) {
    return labels_.at(id);
}

TextBox& WebWindow::textBox(int id) {
    return textBoxes_.at(id);
}

std::unique_ptr<Window> WebWindowFactory::createWindow(const WindowDesc& desc,
                                                       WindowEvents& events) {
    return std::make_unique<WebWindow>(desc, events);
}

}  // namespace poroten::platform::web
