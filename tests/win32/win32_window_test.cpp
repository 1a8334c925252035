// The real windows the adapter builds from the game's own layouts, driven with
// the messages Windows would send them.
#include <gtest/gtest.h>

#include <windows.h>

#include <imm.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "game/layout.h"
#include "highscore/name_window.h"
#include "menu/menu_bar.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_window.h"
#include "platform/window_rules.h"
#include "win32_test_support.h"

namespace poroten::platform::win32::testing {
namespace {

using game::form1Layout;
using highscore::Dialog;
using highscore::dialogLayout;

class Recorder : public platform::WindowEvents {
public:
    bool onKeyPress(int control, char32_t character) override {
        keys.emplace_back(control, character);
        react();
        return takeKeys;
    }
    void onCommand(int) override { react(); }
    void onCloseRequest() override { react(); }

    std::vector<std::pair<int, char32_t>> keys;
    bool takeKeys = false;
    std::function<void()> reaction;

private:
    void react() {
        if (reaction) {
            reaction();
        }
    }
};

UINT dpiOf(HWND hwnd) {
    return GetDpiForWindow(hwnd);
}

int px(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

RECT childRect(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof font, &font);
    return font;
}

COLORREF brushColour(LRESULT brush) {
    LOGBRUSH b{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof b, &b);
    return b.lbColor;
}

std::wstring menuText(HMENU menu, UINT position) {
    wchar_t buffer[128] = {};
    GetMenuStringW(menu, position, buffer, 128, MF_BYPOSITION);
    return buffer;
}

LONG_PTR alignStyle(platform::Align align) {
    switch (align) {
        case platform::Align::Centre:
            return SS_CENTER;
        case platform::Align::Right:
            return SS_RIGHT;
        case platform::Align::Left:
            break;
    }
    return SS_LEFT;
}

// Where each control lies, its alignment and its font, at the window's DPI.
void expectControlsAsDescribed(HWND hwnd, const platform::WindowDesc& desc) {
    const UINT dpi = dpiOf(hwnd);
    for (const platform::ControlDesc& c : desc.controls) {
        const HWND control = GetDlgItem(hwnd, c.id);
        ASSERT_NE(control, nullptr) << c.name;
        const platform::PixelRect p = platform::toPixels(c.bounds, static_cast<int>(dpi));
        const RECT r = childRect(hwnd, control);
        EXPECT_EQ(r.left, p.left) << c.name;
        EXPECT_EQ(r.top, p.top) << c.name;
        EXPECT_EQ(r.right - r.left, p.width) << c.name;
        EXPECT_EQ(r.bottom - r.top, p.height) << c.name;
        if (c.kind == platform::ControlKind::Label) {
            EXPECT_EQ(GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK, alignStyle(c.align))
                << c.name;
        }
        if (c.kind == platform::ControlKind::TextBox) {
            // No limit described: none of the edit control's own (32,767) either.
            const LRESULT limit = SendMessageW(control, EM_GETLIMITTEXT, 0, 0);
            if (c.maxLength > 0) {
                EXPECT_EQ(limit, c.maxLength) << c.name;
            } else {
                EXPECT_GT(limit, 0x10000) << c.name;
            }
        }
        // Buttons without a face of their own still get a font at the window's DPI.
        ASSERT_NE(SendMessageW(control, WM_GETFONT, 0, 0), 0) << c.name;
        const LOGFONTW font = fontOf(control);
        if (!c.font.face.empty()) {
            EXPECT_EQ(font.lfFaceName, toWide(c.font.face)) << c.name;
            EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET) << c.name;
        }
        if (c.font.points > 0) {
            EXPECT_EQ(font.lfHeight, -MulDiv(c.font.points, static_cast<int>(dpi), 72)) << c.name;
        }
    }
}

class Win32WindowTest : public ::testing::Test {
protected:
    HWND mainHwnd() { return FindWindowW(L"PorotenWindow", toWide(form1Layout().caption).c_str()); }
    HWND dialogHwnd() {
        return FindWindowW(L"PorotenWindow", toWide(dialogLayout().caption).c_str());
    }

    Win32WindowFactory factory;
    Recorder events;
};

TEST_F(Win32WindowTest, MainWindowTakesTheLayoutsSizeFrameMenuAndFonts) {
    const platform::WindowDesc desc = form1Layout();
    auto window = factory.createWindow(desc, events);
    const HWND hwnd = mainHwnd();
    ASSERT_NE(hwnd, nullptr);
    const UINT dpi = dpiOf(hwnd);

    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, px(desc.clientWidth, dpi));
    EXPECT_EQ(client.bottom, px(desc.clientHeight, dpi));

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);  // its own task-bar button
    EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);

    // A menu entry with items drops down; one without is a command on the bar.
    const HMENU bar = GetMenu(hwnd);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(desc.menu.size()));
    for (UINT i = 0; i < desc.menu.size(); ++i) {
        const platform::MenuDesc& entry = desc.menu[i];
        EXPECT_EQ(menuText(bar, i), toWide(entry.text));
        const HMENU drop = GetSubMenu(bar, static_cast<int>(i));
        if (entry.items.empty()) {
            EXPECT_EQ(drop, nullptr) << entry.text;
            EXPECT_EQ(GetMenuItemID(bar, static_cast<int>(i)), static_cast<UINT>(entry.id));
            continue;
        }
        ASSERT_NE(drop, nullptr) << entry.text;
        ASSERT_EQ(GetMenuItemCount(drop), static_cast<int>(entry.items.size()));
        for (UINT j = 0; j < entry.items.size(); ++j) {
            EXPECT_EQ(menuText(drop, j), toWide(entry.items[j].text));
            EXPECT_EQ(GetMenuItemID(drop, static_cast<int>(j)),
                      static_cast<UINT>(entry.items[j].id));
        }
    }

    expectControlsAsDescribed(hwnd, desc);
    // Neighbouring cells overlap; the later one lies on top, as in the layout's order.
    const RECT cell0 = childRect(hwnd, GetDlgItem(hwnd, 0));
    const RECT cell1 = childRect(hwnd, GetDlgItem(hwnd, 1));
    ASSERT_GT(cell0.right, cell1.left);
    const HWND top = ChildWindowFromPointEx(hwnd, POINT{cell1.left, cell1.top + 5}, CWP_ALL);
    EXPECT_EQ(top, GetDlgItem(hwnd, 1));
}

TEST_F(Win32WindowTest, NameWindowIsADialogFrameWithoutTaskbarButtonPlacedInTwips) {
    const platform::WindowDesc desc = dialogLayout();
    auto window = factory.createWindow(desc, events);
    const HWND hwnd = dialogHwnd();
    ASSERT_NE(hwnd, nullptr);
    const UINT dpi = dpiOf(hwnd);

    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    EXPECT_NE(exStyle & WS_EX_DLGMODALFRAME, 0u);
    EXPECT_EQ(exStyle & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW), 0u);
    const HWND owner = GetWindow(hwnd, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_EQ(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(GetMenu(hwnd), nullptr);

    RECT outer{};
    GetWindowRect(hwnd, &outer);
    ASSERT_TRUE(desc.position);
    EXPECT_EQ(outer.left, px(desc.position->left, dpi));
    EXPECT_EQ(outer.top, px(desc.position->top, dpi));
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, px(desc.clientWidth, dpi));
    EXPECT_EQ(client.bottom, px(desc.clientHeight, dpi));

    expectControlsAsDescribed(hwnd, desc);
    const HWND edit = GetDlgItem(hwnd, Dialog::Text1);
    wchar_t className[32] = {};
    GetClassNameW(edit, className, 32);
    EXPECT_EQ(lstrcmpiW(className, L"Edit"), 0);
    EXPECT_NE(GetWindowLongPtrW(edit, GWL_STYLE) & ES_AUTOHSCROLL, 0);
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(hwnd, Dialog::OKButton), GWL_STYLE) & BS_TYPEMASK,
              BS_PUSHBUTTON);

    window->show();
    pumpFor(std::chrono::milliseconds(200));
    ASSERT_TRUE(desc.focusControl);
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, *desc.focusControl));
    // Tab walks the controls in their tab order and comes round again.
    const std::vector<int> order = platform::tabOrder(desc);
    ASSERT_GE(order.size(), 2u);
    ASSERT_EQ(order.front(), *desc.focusControl);
    for (std::size_t step = 1; step <= order.size(); ++step) {
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, order[step % order.size()])) << step;
    }
    EXPECT_TRUE(events.keys.empty());
}

// How the painted colour itself shows is the adapters' shared contract; here,
// what Windows is told to draw each label's text with.
TEST_F(Win32WindowTest, ALabelsTextIsDrawnOnItsOwnColourOrOnTheWindows) {
    // A text colour the system's black could not pass for.
    constexpr platform::Colour kInk = 0x00336699;
    platform::WindowDesc desc = form1Layout();
    auto cell = std::find_if(desc.controls.begin(), desc.controls.end(),
                             [](const platform::ControlDesc& c) { return c.id == 4; });
    ASSERT_NE(cell, desc.controls.end());
    cell->textColour = kInk;
    auto window = factory.createWindow(desc, events);
    const HWND hwnd = mainHwnd();
    window->label(cell->id).setBackColour(game::colour::Blue);
    const HDC dc = GetDC(hwnd);
    EXPECT_EQ(brushColour(SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(GetDlgItem(hwnd, cell->id)))),
              game::colour::Blue);
    EXPECT_EQ(GetBkColor(dc), game::colour::Blue);
    EXPECT_EQ(GetTextColor(dc), kInk);
    ReleaseDC(hwnd, dc);
    window->label(cell->id).setText("");
    EXPECT_EQ(window->label(cell->id).text(), "");

    // A label without a colour of its own shows the window's background.
    auto dialog = factory.createWindow(dialogLayout(), events);
    const HWND dialogWindow = dialogHwnd();
    const HDC dialogDc = GetDC(dialogWindow);
    EXPECT_EQ(brushColour(
                  SendMessageW(dialogWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dialogDc),
                               reinterpret_cast<LPARAM>(GetDlgItem(dialogWindow, Dialog::Label1)))),
              GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetBkMode(dialogDc), TRANSPARENT);
    ReleaseDC(dialogWindow, dialogDc);
}

TEST_F(Win32WindowTest, TypedCharactersReachTheGameFirst) {
    auto window = factory.createWindow(form1Layout(), events);
    const HWND hwnd = mainHwnd();
    SendMessageW(hwnd, WM_CHAR, L'7', 0);
    SendMessageW(hwnd, WM_CHAR, 13, 0);
    SendMessageW(hwnd, WM_CHAR, 0xFF19, 0);  // full-width 9
    // A character beyond the BMP comes in two halves and is reported once.
    SendMessageW(hwnd, WM_CHAR, 0xD83D, 0);
    SendMessageW(hwnd, WM_CHAR, 0xDE00, 0);
    // The keypad's 7 with Num Lock off still answers; Home of the arrow block,
    // an extended key, does not.
    SendMessageW(hwnd, WM_KEYDOWN, VK_HOME, 0x00470001);
    SendMessageW(hwnd, WM_KEYDOWN, VK_HOME, 0x01470001);
    const std::vector<std::pair<int, char32_t>> expected{{platform::kNoControl, U'7'},
                                                         {platform::kNoControl, 13},
                                                         {platform::kNoControl, 0xFF19},
                                                         {platform::kNoControl, 0x1F600},
                                                         {platform::kNoControl, U'7'}};
    EXPECT_EQ(events.keys, expected);

    Recorder dialogEvents;
    auto dialog = factory.createWindow(dialogLayout(), dialogEvents);
    const HWND edit = GetDlgItem(dialogHwnd(), Dialog::Text1);
    SendMessageW(edit, WM_CHAR, L'a', 0);
    dialogEvents.takeKeys = true;
    SendMessageW(edit, WM_CHAR, L'b', 0);  // taken by the game: not typed
    dialogEvents.takeKeys = false;
    SendMessageW(edit, WM_CHAR, 0xD83D, 0);
    SendMessageW(edit, WM_CHAR, 0xDE00, 0);
    SendMessageW(edit, WM_CHAR, L'名', 0);
    const std::vector<std::pair<int, char32_t>> typed{{Dialog::Text1, U'a'},
                                                      {Dialog::Text1, U'b'},
                                                      {Dialog::Text1, 0x1F600},
                                                      {Dialog::Text1, U'名'}};
    EXPECT_EQ(dialogEvents.keys, typed);
    EXPECT_EQ(dialog->textBox(Dialog::Text1).text(), "a😀名");
    dialog->textBox(Dialog::Text1).setText("");
    EXPECT_EQ(windowText(edit), L"");
}

TEST_F(Win32WindowTest, OnlyTheNameBoxHasAnInputContext) {
    // An IME left on in kana mode must not compose the main window's digits and
    // Enter; a name is composed in the name box as usual.
    auto window = factory.createWindow(form1Layout(), events);
    auto dialog = factory.createWindow(dialogLayout(), events);
    const HWND main = mainHwnd();
    const HWND edit = GetDlgItem(dialogHwnd(), Dialog::Text1);
    ASSERT_TRUE(main && edit);
    EXPECT_EQ(ImmGetContext(main), nullptr);
    const HIMC name = ImmGetContext(edit);
    EXPECT_NE(name, nullptr);
    if (name) {
        ImmReleaseContext(edit, name);
    }
}

// The OK button and the close box are the shared contract's; here, keys.
TEST_F(Win32WindowTest, WindowMayBeDestroyedFromItsOwnKeys) {
    const std::vector<std::function<void(HWND)>> triggers{
        [](HWND dialog) { SendMessageW(GetDlgItem(dialog, Dialog::Text1), WM_CHAR, 13, 0); },
        [](HWND dialog) { SendMessageW(GetDlgItem(dialog, Dialog::Text1), WM_CHAR, L'x', 0); },
        [](HWND dialog) { SendMessageW(dialog, WM_CHAR, L'1', 0); },
    };
    for (std::size_t i = 0; i < triggers.size(); ++i) {
        std::unique_ptr<platform::Window> window = factory.createWindow(dialogLayout(), events);
        window->show();
        const HWND hwnd = dialogHwnd();
        const HWND edit = GetDlgItem(hwnd, Dialog::Text1);
        events.reaction = [&] { window.reset(); };
        triggers[i](hwnd);
        events.reaction = nullptr;
        pumpFor(std::chrono::milliseconds(50));
        EXPECT_EQ(window, nullptr) << i;
        EXPECT_FALSE(IsWindow(hwnd)) << i;
        EXPECT_FALSE(IsWindow(edit)) << i;
    }
    EXPECT_EQ(events.keys.size(), 3u);
}

TEST_F(Win32WindowTest, QuitTakesEveryWindowDownAndEndsTheLoop) {
    auto main = factory.createWindow(form1Layout(), events);
    auto dialog = factory.createWindow(dialogLayout(), events);
    const HWND mainWindow = mainHwnd();
    const HWND dialogWindow = dialogHwnd();
    main->show();
    dialog->show();

    Win32Application application(factory);
    application.quit();
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_FALSE(IsWindow(dialogWindow));
    EXPECT_FALSE(main->isVisible());
    // What the game still does to its windows on the way out goes nowhere.
    main->label(game::Label5).setText("12");
    EXPECT_EQ(main->label(game::Label5).text(), "12");
    main->show();
    EXPECT_EQ(dialog->textBox(Dialog::Text1).text(), "");

    EXPECT_EQ(application.run(), 0);
}

// Log-off or shut-down: whichever window hears of it first, hidden or not,
// the game hears once, before the answer, and the log-off is never refused.
TEST_F(Win32WindowTest, TheEndOfTheSessionReachesTheGameOnceAndIsNeverRefused) {
    auto main = factory.createWindow(form1Layout(), events);
    std::unique_ptr<platform::Window> dialog = factory.createWindow(dialogLayout(), events);
    const HWND mainWindow = mainHwnd();
    const HWND dialogWindow = dialogHwnd();
    dialog->show();
    ASSERT_FALSE(main->isVisible());

    Win32Application application(factory);
    EXPECT_EQ(SendMessageW(mainWindow, WM_QUERYENDSESSION, 0, 0), TRUE);  // no one listening yet
    int endings = 0;
    application.onEnding([&](platform::Ending how) {
        EXPECT_EQ(how, platform::Ending::ForGood);
        ++endings;
        dialog.reset();  // as the game confirms the name and closes its window
        main->show();
    });
    EXPECT_EQ(SendMessageW(mainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(endings, 1);
    EXPECT_FALSE(IsWindow(dialogWindow));
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(SendMessageW(mainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF), 0);
    EXPECT_EQ(endings, 1);

    // Called off, then ended without being asked first.
    SendMessageW(mainWindow, WM_ENDSESSION, FALSE, 0);
    dialog = factory.createWindow(dialogLayout(), events);
    SendMessageW(dialogHwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(endings, 2);
    EXPECT_EQ(dialog, nullptr);
    application.onEnding({});
}

}  // namespace
}  // namespace poroten::platform::win32::testing
