// Windows, their controls and what they report back.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/window_desc.h"

namespace poroten::platform {

// Window-level key events carry this in place of a control id.
constexpr int kNoControl = -1;

class Label {
public:
    virtual ~Label() = default;
    virtual std::string text() const = 0;  // UTF-8
    virtual void setText(std::string_view utf8) = 0;
    virtual void setBackColour(Colour colour) = 0;
};

class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::string text() const = 0;  // UTF-8
    virtual void setText(std::string_view utf8) = 0;
};

// Implemented by the game: what a window tells it. Callbacks may destroy the
// window that raised them; adapters must not touch it afterwards.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // A character typed while the window is active: Unicode code point, Enter is 13.
    // control is kNoControl when no control has the focus. Returns true when the
    // game took the key, so that a text box does not also insert it.
    virtual bool onKeyPress(int control, char32_t character) = 0;
    // A menu item chosen or a button clicked.
    virtual void onCommand(int id) = 0;
    // The close box or the system's close command. The adapter does not close
    // the window by itself; the game decides.
    virtual void onCloseRequest() = 0;
};

// A top-level window built from a WindowDesc. Destroying the object destroys the window.
class Window {
public:
    virtual ~Window() = default;
    virtual void show() = 0;  // does not wait
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    // Ids are those of the ControlDesc; asking for an id of another kind is a programming error.
    virtual Label& label(int id) = 0;
    virtual TextBox& textBox(int id) = 0;
};

class WindowFactory {
public:
    virtual ~WindowFactory() = default;
    // events must outlive the window.
    virtual std::unique_ptr<Window> createWindow(const WindowDesc& desc, WindowEvents& events) = 0;
};

}  // namespace poroten::platform
