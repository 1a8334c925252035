// Test helper run beside the program under test: prints the visible top-level
// window with the given title and its child controls, one per line, in UTF-8:
//   window CLASS LEFT TOP RIGHT BOTTOM CLIENTLEFT CLIENTTOP CLIENTRIGHT CLIENTBOTTOM
//   child ID CLASS LEFT TOP RIGHT BOTTOM TEXT        (screen pixels)
// In TEXT a backslash, CR and LF are written \\, \r and \n.
// Exits 1 when no such window is on screen.
//   poroten_probe --hide TITLE   hides that window and prints its handle;
//   poroten_probe --show HANDLE  shows it again (a second copy's test plays
//                                one copy while the other waits unseen).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/win32/wide_text.h"

namespace {

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK matchTitle(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    if (IsWindowVisible(hwnd) && search->title == title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring textOf(HWND hwnd) {
    // WM_GETTEXT rather than GetWindowText, which will not read another
    // process's controls.
    wchar_t buffer[1024] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        2000, &ignored);
    return buffer;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

void print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
           " " + std::to_string(r.bottom);
}

BOOL CALLBACK printChild(HWND hwnd, LPARAM) {
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    RECT r{};
    GetWindowRect(hwnd, &r);
    print("child " + std::to_string(GetDlgCtrlID(hwnd)) + " " +
          poroten::platform::win32::toUtf8(className) + " " + rectText(r) + " " +
          escaped(poroten::platform::win32::toUtf8(textOf(hwnd))));
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"--hide") {
        Search search{argv[2]};
        EnumWindows(&matchTitle, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            return 1;
        }
        ShowWindowAsync(search.found, SW_HIDE);
        print(std::to_string(reinterpret_cast<std::uintptr_t>(search.found)));
        std::fflush(stdout);
        return 0;
    }
    if (argc == 3 && std::wstring(argv[1]) == L"--show") {
        const auto handle = reinterpret_cast<HWND>(
            static_cast<std::uintptr_t>(std::wcstoull(argv[2], nullptr, 10)));
        return IsWindow(handle) && ShowWindowAsync(handle, SW_SHOWNORMAL) ? 0 : 1;
    }
    if (argc != 2) {
        std::fputs("usage: poroten_probe TITLE\n", stderr);
        return 2;
    }
    Search search{argv[1]};
    EnumWindows(&matchTitle, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        return 1;
    }
    wchar_t className[64] = {};
    GetClassNameW(search.found, className, 64);
    RECT outer{};
    GetWindowRect(search.found, &outer);
    RECT client{};
    GetClientRect(search.found, &client);
    MapWindowPoints(search.found, nullptr, reinterpret_cast<POINT*>(&client), 2);
    print("window " + poroten::platform::win32::toUtf8(className) + " " + rectText(outer) + " " +
          rectText(client));
    EnumChildWindows(search.found, &printChild, 0);
    std::fflush(stdout);
    return 0;
}
