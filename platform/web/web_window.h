// Windows in the page: library_poroten.js puts in the page the markup and
// style window_markup.cpp makes of each description; this side keeps what
// the game reads back.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/window.h"

namespace poroten::platform::web {

class WebLabel : public Label {
public:
    WebLabel(int window, int id, std::string text)
        : window_(window), id_(id), text_(std::move(text)) {}
    std::string text() const override { return text_; }
    void setText(std::string_view utf8) override;
    void setBackColour(Colour colour) override;

private:
    int window_;
    int id_;
    std::string text_;
};

class WebTextBox : public TextBox {
public:
    WebTextBox(int window, int id) : window_(window), id_(id) {}
    std::string text() const override;  // what the page's box holds now
    void setText(std::string_view utf8) override;

private:
    int window_;
    int id_;
};

class WebWindow : public Window {
public:
    WebWindow(const WindowDesc& desc, WindowEvents& events);
    ~WebWindow() override;
    WebWindow(const WebWindow&) = delete;
    WebWindow& operator=(const WebWindow&) = delete;

    void show() override;
    void hide() override;
    bool isVisible() const override { return visible_; }
    Label& label(int id) override;
    TextBox& textBox(int id) override;

private:
    int handle_;
    bool visible_ = false;
    std::map<int, WebLabel> labels_;
    std::map<int, WebTextBox> textBoxes_;
};

class WebWindowFactory : public WindowFactory {
public:
    std::unique_ptr<Window> createWindow(const WindowDesc& desc, WindowEvents& events) override;
};

// The windows the page's events go to, by the handle the page gave each. A
// window is listed from its making to its destruction; the entry points look
// each one up afresh, as a handler may destroy it.
void listWindow(int handle, WindowEvents& events);
void unlistWindow(int handle);
WindowEvents* listedWindow(int handle);

}  // namespace poroten::platform::web
