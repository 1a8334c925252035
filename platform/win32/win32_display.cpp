#include "platform/win32/win32_display.h"

#include <algorithm>
#include <string>

#include "platform/win32/resources/resource_ids.h"
#include "platform/win32/wide_text.h"
#include "platform/window_rules.h"

namespace poroten::platform::win32 {

namespace {

template <typename F>
F procAddress(const wchar_t* module, const char* name) {
    const HMODULE handle = GetModuleHandleW(module);
    if (!handle) {
        return nullptr;
    }
    // Through void(*)(), the one function type any other converts to quietly.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

// The per-monitor DPI calls exist from Windows 10 1607 on; looked up at run
// time so that older systems still start the program, at the system DPI.
struct DpiApi {
    UINT(WINAPI* forWindow)(HWND) = procAddress<UINT(WINAPI*)(HWND)>(L"user32", "GetDpiForWindow");
    UINT(WINAPI* forSystem)() = procAddress<UINT(WINAPI*)()>(L"user32", "GetDpiForSystem");
    BOOL(WINAPI* adjustRect)
    (LPRECT, DWORD, BOOL, DWORD, UINT) =
        procAddress<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>(L"user32",
                                                                     "AdjustWindowRectExForDpi");
    BOOL(WINAPI* parameters)
    (UINT, UINT, PVOID, UINT, UINT) = procAddress<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>(
        L"user32", "SystemParametersInfoForDpi");
    int(WINAPI* metrics)(int,
                         UINT) = procAddress<int(WINAPI*)(int, UINT)>(L"user32",
                                                                      "GetSystemMetricsForDpi");
};

const DpiApi& dpiApi() {
    static const DpiApi api;
    return api;
}

LOGFONTW messageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (dpiApi().parameters &&
        dpiApi().parameters(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return metrics.lfMessageFont;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                            static_cast<int>(systemDpi()));
    return metrics.lfMessageFont;
}

}  // namespace

UINT systemDpi() {
    if (dpiApi().forSystem) {
        return dpiApi().forSystem();
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : static_cast<UINT>(kBaseDpi);
}

UINT windowDpi(HWND hwnd) {
    if (dpiApi().forWindow) {
        const UINT dpi = dpiApi().forWindow(hwnd);
        if (dpi != 0) {
            return dpi;
        }
    }
    return systemDpi();
}

int pixels(int twips, UINT dpi) {
    return platform::twipsToPixels(twips, static_cast<int>(dpi));
}

RECT outerRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu, UINT dpi) {
    RECT r{0, 0, clientWidth, clientHeight};
    if (dpiApi().adjustRect) {
        dpiApi().adjustRect(&r, style, menu, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&r, style, menu, exStyle);
    }
    return r;
}

HFONT createFont(const FontDesc& desc, UINT dpi) {
    LOGFONTW font = messageFont(dpi);
    if (desc.points > 0) {
        font.lfHeight = -MulDiv(desc.points, static_cast<int>(dpi), 72);
    }
    if (!desc.face.empty()) {
        const std::wstring face = toWide(desc.face);
        std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
        std::copy_n(face.begin(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1),
                    font.lfFaceName);
        // The game's faces are Japanese; the charset steers the font mapper to
        // a Japanese face when the named one is missing.
        font.lfCharSet = SHIFTJIS_CHARSET;
        font.lfWeight = FW_NORMAL;
        font.lfItalic = FALSE;
        font.lfUnderline = FALSE;
        font.lfStrikeOut = FALSE;
        font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    }
    return CreateFontIndirectW(&font);
}

HICON loadIcon(int metric, UINT dpi) {
    const int size = dpiApi().metrics ? dpiApi().metrics(metric, dpi) : GetSystemMetrics(metric);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_POROTEN),
                                         IMAGE_ICON, size, size, 0));
}

HMENU buildMenu(const std::vector<MenuDesc>& entries, bool bar) {
    const HMENU menu = bar ? CreateMenu() : CreatePopupMenu();
    for (const auto& entry : entries) {
        const std::wstring text = toWide(entry.text);
        if (entry.items.empty()) {
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(entry.id), text.c_str());
        } else {
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(buildMenu(entry.items, false)),
                        text.c_str());
        }
    }
    return menu;
}

}  // namespace poroten::platform::win32
