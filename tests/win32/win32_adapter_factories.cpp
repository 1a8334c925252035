#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "adapter_factories.h"
#include "platform/cp932_codec.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_message_boxes.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/win32_window.h"
#include "win32_test_support.h"

namespace poroten::testing {

std::unique_ptr<platform::TextCodec> makeAdapterCodec() {
    return std::make_unique<platform::Cp932Codec>();
}

std::unique_ptr<platform::Files> makeAdapterFiles() {
    return std::make_unique<platform::win32::Win32Files>();
}

// An installed or unzipped copy keeps its record where it lies.
std::unique_ptr<platform::Files> makeInstalledCopyFiles(const std::filesystem::path&) {
    return nullptr;
}

namespace {

using platform::win32::toUtf8;
using platform::win32::toWide;
using platform::win32::testing::windowText;

// This thread's top-level windows of a class, shown or not.
std::vector<HWND> threadWindows(const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        std::vector<HWND> found;
    } search{className, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(hwnd, name, 64);
            if (lstrcmpiW(name, s->className) == 0) {
                s->found.push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::set<int> childIds(HWND hwnd) {
    std::set<int> ids;
    EnumChildWindows(
        hwnd,
        [](HWND child, LPARAM data) {
            reinterpret_cast<std::set<int>*>(data)->insert(GetDlgCtrlID(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ids));
    return ids;
}

// The window drawn from the description, known by its controls rather than by
// its caption, which is under test: a shown one first.
HWND windowOf(const platform::WindowDesc& desc) {
    std::set<int> wanted;
    for (const auto& c : desc.controls) {
        wanted.insert(c.id);
    }
    HWND found = nullptr;
    for (const HWND hwnd : threadWindows(L"PorotenWindow")) {
        if (childIds(hwnd) == wanted && (!found || IsWindowVisible(hwnd))) {
            found = hwnd;
        }
    }
    return found;
}

HWND controlOf(const platform::WindowDesc& window, const platform::ControlDesc& control) {
    const HWND hwnd = windowOf(window);
    return hwnd ? GetDlgItem(hwnd, control.id) : nullptr;
}

// The command id of the menu entry with that text, as the menu holds it.
bool menuCommand(HMENU menu, const std::string& text, UINT& id) {
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        if (const HMENU sub = GetSubMenu(menu, i)) {
            if (menuCommand(sub, text, id)) {
                return true;
            }
            continue;
        }
        wchar_t buffer[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), buffer, 128, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (toUtf8(buffer) == text && !(state & (MF_GRAYED | MF_DISABLED))) {
            id = GetMenuItemID(menu, i);
            return true;
        }
    }
    return false;
}

// The message box open on this thread now.
HWND openBoxWindow() {
    for (const HWND hwnd : threadWindows(L"#32770")) {
        if (IsWindowVisible(hwnd)) {
            return hwnd;
        }
    }
    return nullptr;
}

class Win32Probe;
Win32Probe* waitingForBox = nullptr;

class Win32Probe : public AdapterProbe {
public:
    ~Win32Probe() override {
        if (waitingForBox == this) {
            KillTimer(nullptr, boxPoll_);
            waitingForBox = nullptr;
        }
    }

    platform::WindowFactory& windows() override { return windows_; }
    std::unique_ptr<platform::WakeUp> makeWakeUp() override {
        return std::make_unique<platform::win32::Win32WakeUp>();
    }
    platform::MessageBoxes& boxes() override { return boxes_; }

    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        return platform::win32::testing::pumpUntil(done, limit);
    }

    bool isShown(const platform::WindowDesc& window) override {
        const HWND hwnd = windowOf(window);
        return hwnd && IsWindowVisible(hwnd);
    }
    std::string caption(const platform::WindowDesc& window) override {
        const HWND hwnd = windowOf(window);
        return hwnd ? toUtf8(windowText(hwnd)) : std::string();
    }
    std::string text(const platform::WindowDesc& window,
                     const platform::ControlDesc& control) override {
        const HWND hwnd = controlOf(window, control);
        return hwnd ? toUtf8(windowText(hwnd)) : "(no control " + control.name + ")";
    }
    // What the screen shows at the label's top-left corner, once whatever is
    // waiting to be painted is: a colour the adapter changed without asking
    // for a repaint stays as it was.
    platform::Colour backColour(const platform::WindowDesc& window,
                                const platform::ControlDesc& control) override {
        const HWND hwnd = controlOf(window, control);
        if (!hwnd) {
            return 0xFFFFFFFF;
        }
        RedrawWindow(GetParent(hwnd), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const HDC dc = GetDC(hwnd);
        const COLORREF pixel = GetPixel(dc, 1, 1);
        ReleaseDC(hwnd, dc);
        return pixel;
    }

    // Only what a player can reach: a shown window's close box, a shown and
    // enabled button, an enabled menu entry.
    void pressCloseBox(const platform::WindowDesc& window) override {
        const HWND hwnd = windowOf(window);
        if (hwnd && IsWindowVisible(hwnd) && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_SYSMENU)) {
            PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    }
    void click(const platform::WindowDesc& window, const platform::ControlDesc& button) override {
        const HWND hwnd = controlOf(window, button);
        if (hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
            PostMessageW(hwnd, BM_CLICK, 0, 0);
        }
    }
    void choose(const platform::WindowDesc& window, const platform::MenuDesc& item) override {
        const HWND hwnd = windowOf(window);
        UINT id = 0;
        if (hwnd && IsWindowVisible(hwnd) && menuCommand(GetMenu(hwnd), item.text, id)) {
            // As Windows reports a menu item chosen.
            PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        }
    }

    // A thread timer's messages are dispatched by the box's own modal loop.
    void whenBoxOpens(std::function<void()> act) override {
        boxAct_ = std::move(act);
        waitingForBox = this;
        boxPoll_ = SetTimer(nullptr, 0, 10, &Win32Probe::pollForBox);
    }
    platform::BoxContent openBox() override {
        const HWND box = openBoxWindow();
        if (!box) {
            return {};
        }
        platform::BoxContent content{toUtf8(windowText(box)), {}};
        // The lines as the box shows them: one to each CR LF.
        const std::string text = toUtf8(windowText(GetDlgItem(box, 0xFFFF)));
        std::size_t from = 0;
        for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) {
            content.lines.push_back(text.substr(from, at - from));
        }
        content.lines.push_back(text.substr(from));
        return content;
    }
    void pressBoxOk() override {
        const HWND box = openBoxWindow();
        const HWND ok = box ? GetDlgItem(box, IDOK) : nullptr;
        if (ok && IsWindowVisible(ok) && IsWindowEnabled(ok)) {
            SendMessageW(ok, BM_CLICK, 0, 0);
        }
    }

private:
    static void CALLBACK pollForBox(HWND, UINT, UINT_PTR id, DWORD) {
        Win32Probe* probe = waitingForBox;
        if (probe && !openBoxWindow()) {
            return;
        }
        KillTimer(nullptr, id);
        if (!probe) {
            return;
        }
        waitingForBox = nullptr;
        const std::function<void()> act = std::move(probe->boxAct_);
        act();
    }

    platform::win32::Win32WindowFactory windows_;
    platform::win32::Win32MessageBoxes boxes_;
    std::function<void()> boxAct_;
    UINT_PTR boxPoll_ = 0;
};

}  // namespace

std::unique_ptr<AdapterProbe> makeAdapterProbe() {
    return std::make_unique<Win32Probe>();
}

}  // namespace poroten::testing
