// The Win32 window and its child controls, shared by the window's own code and
// its factory; nothing outside this adapter includes it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/gdi_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_window.h"
#include "platform/window.h"
#include "platform/window_rules.h"

namespace poroten::platform::win32 {

inline constexpr const wchar_t* kWindowClass = L"PorotenWindow";

class Win32Window;

// One child control. A label keeps its own copy of the text, so what the game
// wrote reads back byte for byte; a text box is read from the screen.
class Control : public platform::Label, public platform::TextBox {
public:
    Control(Win32Window& window, ControlDesc desc) : window_(window), desc_(std::move(desc)) {
        text_ = desc_.text;
        if (desc_.backColour) {
            brush_.reset(CreateSolidBrush(*desc_.backColour));
        }
    }
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    std::string text() const override {
        if (desc_.kind != ControlKind::Label && hwnd_) {
            const int length = GetWindowTextLengthW(hwnd_);
            std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
            const int got = GetWindowTextW(hwnd_, buffer.data(), length + 1);
            buffer.resize(static_cast<std::size_t>(std::max(got, 0)));
            return toUtf8(buffer);
        }
        return text_;
    }

    void setText(std::string_view utf8) override {
        text_ = std::string(utf8);
        if (hwnd_) {
            SetWindowTextW(hwnd_, toWide(utf8).c_str());
        }
    }

    void setBackColour(platform::Colour colour) override {
        if (brush_ && desc_.backColour == colour) {
            return;
        }
        desc_.backColour = colour;
        brush_.reset(CreateSolidBrush(colour));
        if (hwnd_) {
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
    }

private:
    friend class Win32Window;

    // A UTF-16 unit of WM_CHAR as a code point; false while half a pair is held.
    bool takeUnit(WPARAM unit, char32_t& character) {
        return joinUnits(pendingHigh_, unit, character);
    }

    static bool joinUnits(wchar_t& pendingHigh, WPARAM unit, char32_t& character) {
        const auto u = static_cast<wchar_t>(unit);
        if (u >= 0xD800 && u <= 0xDBFF) {
            pendingHigh = u;
            return false;
        }
        if (u >= 0xDC00 && u <= 0xDFFF && pendingHigh) {
            character = 0x10000 + ((static_cast<char32_t>(pendingHigh) - 0xD800) << 10) +
                        (static_cast<char32_t>(u) - 0xDC00);
            pendingHigh = 0;
            return true;
        }
        pendingHigh = 0;
        character = u;
        return true;
    }

    Win32Window& window_;
    ControlDesc desc_;
    HWND hwnd_ = nullptr;
    OwnedBrush brush_;
    std::string text_;
    wchar_t pendingHigh_ = 0;
};

class Win32Window : public platform::Window {
public:
    Win32Window(Win32WindowFactory& factory, const WindowDesc& desc,
                platform::WindowEvents& events);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    void show() override;
    void hide() override;
    bool isVisible() const override { return hwnd_ && IsWindowVisible(hwnd_); }
    platform::Label& label(int id) override { return find(id, ControlKind::Label); }
    platform::TextBox& textBox(int id) override { return find(id, ControlKind::TextBox); }

    void destroyNative();

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclassId, DWORD_PTR data);

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    Control& find(int id, ControlKind kind);
    Control* controlOf(HWND hwnd);
    void createControls();
    // Everything that depends on the monitor's DPI, at start and on WM_DPICHANGED.
    void applyDpi(UINT dpi, const RECT* suggested);
    void placeControls(UINT dpi);
    void loadIcons(UINT dpi);
    void fitFrame(UINT dpi, const RECT* suggested);
    void moveFocus(HWND from, bool backwards);
    HWND focusTarget() const;
    HBRUSH backBrush() const {
        return backBrush_ ? backBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
    }

    Win32WindowFactory& factory_;
    WindowDesc desc_;
    platform::WindowEvents& events_;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    HWND hwnd_ = nullptr;
    UINT dpi_ = static_cast<UINT>(kBaseDpi);
    OwnedBrush backBrush_;
    OwnedIcon bigIcon_;
    OwnedIcon smallIcon_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<HWND> tabOrder_;
    std::map<std::pair<std::string, int>, OwnedFont> fonts_;
    HWND lastFocus_ = nullptr;
    wchar_t pendingHigh_ = 0;
    // Lets a control procedure tell whether the window died during a callback.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace poroten::platform::win32
