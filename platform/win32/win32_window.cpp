#include "platform/win32/win32_window_impl.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_display.h"
#include "platform/win32/win32_keys.h"
#include "platform/window_rules.h"

namespace poroten::platform::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;

[[noreturn]] void wrongControl(int id) {
    std::fprintf(stderr, "poroten: no control %d of the kind asked for\n", id);
    std::abort();
}

}  // namespace

Win32Window::Win32Window(Win32WindowFactory& factory, const WindowDesc& desc,
                         platform::WindowEvents& events)
    : factory_(factory), desc_(desc), events_(events) {
    if (desc_.backColour) {
        backBrush_.reset(CreateSolidBrush(*desc_.backColour));
    }
    style_ = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    exStyle_ = 0;
    if (desc_.frame == platform::Frame::FixedDialog) {
        exStyle_ |= WS_EX_DLGMODALFRAME;
    }
    // A window owned by a hidden one gets no task-bar button yet keeps its
    // normal caption, which a tool window would not.
    const HWND owner = desc_.taskbarButton ? nullptr : factory_.hiddenOwner();

    const UINT dpi = systemDpi();
    const HMENU menu = desc_.menu.empty() ? nullptr : buildMenu(desc_.menu, true);
    const RECT outer = outerRect(pixels(desc_.clientWidth, dpi), pixels(desc_.clientHeight, dpi),
                                 style_, exStyle_, menu != nullptr, dpi);
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (desc_.position) {
        x = pixels(desc_.position->left, dpi);
        y = pixels(desc_.position->top, dpi);
    }
    CreateWindowExW(exStyle_, kWindowClass, toWide(desc_.caption).c_str(), style_, x, y,
                    outer.right - outer.left, outer.bottom - outer.top, owner, menu,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) {
        std::fprintf(stderr, "poroten: cannot create window %s: %s\n", desc_.name.c_str(),
                     systemErrorText(GetLastError()).c_str());
        std::abort();
    }
    factory_.windows_.insert(this);
    if (!desc_.focusControl) {
        // Keys go to the window itself, straight to the game: with no input
        // context, an IME left on in kana mode cannot turn digits and Enter
        // into a composition. Text boxes keep theirs.
        ImmAssociateContextEx(hwnd_, nullptr, 0);
    }
    createControls();
    applyDpi(windowDpi(hwnd_), nullptr);
}

Win32Window::~Win32Window() {
    factory_.windows_.erase(this);
    destroyNative();
}

void Win32Window::destroyNative() {
    alive_.reset();
    if (!hwnd_) {
        return;
    }
    const HWND hwnd = hwnd_;
    // From here on the procedures see no window object and do nothing of their own.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    for (auto& control : controls_) {
        if (control->hwnd_) {
            RemoveWindowSubclass(control->hwnd_, &Win32Window::controlProc, kSubclassId);
            control->hwnd_ = nullptr;
        }
    }
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
    // Only now that no window shows them.
    bigIcon_.reset();
    smallIcon_.reset();
    fonts_.clear();
}

void Win32Window::createControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const ControlDesc& desc : desc_.controls) {
        auto control = std::make_unique<Control>(*this, desc);
        const wchar_t* className = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (desc.kind) {
            case ControlKind::Label:
                // No "&" access keys in labels: their text is shown as written.
                style |= SS_NOPREFIX | (desc.align == Align::Centre  ? SS_CENTER
                                        : desc.align == Align::Right ? SS_RIGHT
                                                                     : SS_LEFT);
                break;
            case ControlKind::TextBox:
                className = L"EDIT";
                style |= WS_TABSTOP | ES_AUTOHSCROLL |
                         (desc.align == Align::Centre  ? ES_CENTER
                          : desc.align == Align::Right ? ES_RIGHT
                                                       : ES_LEFT);
                exStyle |= WS_EX_CLIENTEDGE;
                break;
            case ControlKind::Button:
                className = L"BUTTON";
                style |= WS_TABSTOP | BS_PUSHBUTTON;
                break;
        }
        control->hwnd_ = CreateWindowExW(
            exStyle, className, toWide(desc.text).c_str(), style, 0, 0, 0, 0, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(desc.id)), instance, nullptr);
        if (desc.kind == ControlKind::TextBox) {
            // 0 lifts the edit control's own limit of 32,767 characters.
            SendMessageW(control->hwnd_, EM_SETLIMITTEXT, static_cast<WPARAM>(desc.maxLength), 0);
        }
        // Later controls lie over earlier ones where they overlap.
        SetWindowPos(control->hwnd_, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (desc.kind != ControlKind::Label) {
            SetWindowSubclass(control->hwnd_, &Win32Window::controlProc, kSubclassId,
                              reinterpret_cast<DWORD_PTR>(control.get()));
        }
        controls_.push_back(std::move(control));
    }
    for (const int id : platform::tabOrder(desc_)) {
        for (const auto& control : controls_) {
            if (control->desc_.id == id) {
                tabOrder_.push_back(control->hwnd_);
            }
        }
    }
}

void Win32Window::applyDpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    placeControls(dpi);
    if (desc_.icon) {
        loadIcons(dpi);
    }
    fitFrame(dpi, suggested);
}

void Win32Window::placeControls(UINT dpi) {
    // The old fonts go only after every control has taken its new one.
    std::map<std::pair<std::string, int>, OwnedFont> old;
    old.swap(fonts_);
    for (auto& control : controls_) {
        const auto& font = control->desc_.font;
        auto& handle = fonts_[{font.face, font.points}];
        if (!handle) {
            handle.reset(createFont(font, dpi));
        }
        const platform::PixelRect b =
            platform::toPixels(control->desc_.bounds, static_cast<int>(dpi));
        SetWindowPos(control->hwnd_, nullptr, b.left, b.top, b.width, b.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control->hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(handle.get()), TRUE);
    }
}

void Win32Window::loadIcons(UINT dpi) {
    OwnedIcon big(loadIcon(SM_CXICON, dpi));
    OwnedIcon small(loadIcon(SM_CXSMICON, dpi));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

void Win32Window::fitFrame(UINT dpi, const RECT* suggested) {
    const int width = pixels(desc_.clientWidth, dpi);
    const int height = pixels(desc_.clientHeight, dpi);
    const bool menu = GetMenu(hwnd_) != nullptr;
    RECT outer = outerRect(width, height, style_, exStyle_, menu, dpi);
    RECT now{};
    GetWindowRect(hwnd_, &now);
    const int x = suggested ? suggested->left : now.left;
    const int y = suggested ? suggested->top : now.top;
    SetWindowPos(hwnd_, nullptr, x, y, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar too long for the width wraps onto a second line, which the
    // frame arithmetic above cannot know about.
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.bottom != height) {
        outer.bottom += height - client.bottom;
        SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Window::show() {
    if (!hwnd_) {
        return;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (const HWND target = focusTarget()) {
        SetFocus(target);
    }
}

HWND Win32Window::focusTarget() const {
    if (lastFocus_ && IsWindow(lastFocus_)) {
        return lastFocus_;
    }
    if (desc_.focusControl) {
        for (const auto& control : controls_) {
            if (control->desc_.id == *desc_.focusControl &&
                control->desc_.kind != ControlKind::Label) {
                return control->hwnd_;
            }
        }
    }
    return nullptr;
}

void Win32Window::hide() {
    if (hwnd_) {
        ShowWindow(hwnd_, SW_HIDE);
    }
}

Control& Win32Window::find(int id, ControlKind kind) {
    for (auto& control : controls_) {
        if (control->desc_.id == id && control->desc_.kind == kind) {
            return *control;
        }
    }
    wrongControl(id);
}

Control* Win32Window::controlOf(HWND hwnd) {
    for (auto& control : controls_) {
        if (control->hwnd_ == hwnd) {
            return control.get();
        }
    }
    return nullptr;
}

void Win32Window::moveFocus(HWND from, bool backwards) {
    if (tabOrder_.empty()) {
        return;
    }
    const auto at = std::find(tabOrder_.begin(), tabOrder_.end(), from);
    const std::size_t n = tabOrder_.size();
    std::size_t index =
        at == tabOrder_.end() ? 0 : static_cast<std::size_t>(at - tabOrder_.begin());
    for (std::size_t step = 0; step < n; ++step) {
        index = backwards ? (index + n - 1) % n : (index + 1) % n;
        const HWND target = tabOrder_[index];
        if (IsWindowEnabled(target) && IsWindowVisible(target)) {
            SetFocus(target);
            if (Control* control = controlOf(target);
                control && control->desc_.kind == ControlKind::TextBox) {
                SendMessageW(target, EM_SETSEL, 0, -1);
            }
            return;
        }
    }
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* window = static_cast<Win32Window*>(created->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return window->handle(message, wParam, lParam);
}

// Every call into the game is the last thing done: it may destroy this window.
LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CHAR: {
            char32_t character = 0;
            if (Control::joinUnits(pendingHigh_, wParam, character) && typesForGame(character)) {
                events_.onKeyPress(platform::kNoControl, character);
            }
            return 0;
        }
        case WM_KEYDOWN: {
            const std::u32string typed = keypadTyping(wParam, lParam);
            if (typed.empty()) {
                break;
            }
            events_.onKeyPress(platform::kNoControl, typed.front());
            return 0;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (lParam == 0) {
                events_.onCommand(id);  // a menu item
                return 0;
            }
            const Control* control = controlOf(reinterpret_cast<HWND>(lParam));
            if (control && control->desc_.kind == ControlKind::Button &&
                HIWORD(wParam) == BN_CLICKED) {
                events_.onCommand(control->desc_.id);
                return 0;
            }
            break;
        }
        case WM_CLOSE:
            events_.onCloseRequest();
            return 0;
        // Every top-level window gets these, hidden or not. The log-off is
        // never held up: the game does what it must before answering.
        case WM_QUERYENDSESSION:
            factory_.reportSessionEnd(hwnd_, true);
            return TRUE;
        case WM_ENDSESSION:
            factory_.reportSessionEnd(hwnd_, wParam != FALSE);
            return 0;
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, backBrush());
            return 1;
        }
        case WM_CTLCOLORSTATIC: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            const Control* control = controlOf(reinterpret_cast<HWND>(lParam));
            if (!control || control->desc_.kind != ControlKind::Label) {
                break;
            }
            // Colour is 0x00BBGGRR, as a COLORREF.
            SetTextColor(dc, control->desc_.textColour.value_or(GetSysColor(COLOR_WINDOWTEXT)));
            if (control->brush_) {
                SetBkColor(dc, *control->desc_.backColour);
                return reinterpret_cast<LRESULT>(control->brush_.get());
            }
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(backBrush());
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) {
                    lastFocus_ = focus;
                }
            } else if (HIWORD(wParam) == 0) {
                // Back to the control that had the focus, as a dialog does,
                // instead of the window itself.
                if (const HWND target = focusTarget()) {
                    SetFocus(target);
                    return 0;
                }
            }
            break;
        case WM_DPICHANGED:
            applyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclassId, DWORD_PTR data) {
    auto* control = reinterpret_cast<Control*>(data);
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_TAB) {
                control->window_.moveFocus(hwnd, GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            break;
        case WM_CHAR: {
            if (wParam == L'\t') {
                return 0;  // moved the focus on key down
            }
            const wchar_t high = control->pendingHigh_;
            char32_t character = 0;
            if (!control->takeUnit(wParam, character)) {
                return 0;
            }
            if (!typesForGame(character)) {
                return DefSubclassProc(hwnd, WM_CHAR, wParam, lParam);  // Backspace and the like
            }
            const std::weak_ptr<char> alive = control->window_.alive_;
            platform::WindowEvents& events = control->window_.events_;
            const bool taken = events.onKeyPress(control->desc_.id, character);
            if (alive.expired() || taken) {
                return 0;
            }
            if (character > 0xFFFF) {
                DefSubclassProc(hwnd, WM_CHAR, high, lParam);
            }
            return DefSubclassProc(hwnd, WM_CHAR, wParam, lParam);
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &Win32Window::controlProc, subclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace poroten::platform::win32
