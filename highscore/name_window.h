// The window that takes the holder's name after a new record.
#pragma once

#include <functional>
#include <memory>

#include "highscore/high_score_store.h"
#include "platform/window.h"

namespace poroten::highscore {

class Dialog : private platform::WindowEvents {
public:
    enum Id : int { Label1 = 1, Text1 = 2, OKButton = 3, CancelButton = 4 };

    // closed runs once the name is stored and saved and the window is gone.
    Dialog(platform::WindowFactory& windows, Module1& store, std::function<void()> closed);
    ~Dialog() override;

    // Opens the window with an empty name box holding the focus; does not wait.
    void show();
    bool isOpen() const { return window_ != nullptr; }

    // The program is ending: confirms the name typed so far, as OK does, and
    // is done when it returns. Nothing happens when the window is not open.
    void confirmBeforeEnding();
    // The program may be killed without another word: the name typed so far
    // is saved, and the window stays for the player to finish it.
    void keepForNow();

    void OKButton_Click();
    void CancelButton_Click();
    // True when the key was Enter and confirmed the name; other keys go into the box.
    bool Text1_KeyPress(char32_t character);

private:
    void finish();
    bool onKeyPress(int control, char32_t character) override;
    void onCommand(int id) override;
    void onCloseRequest() override;

    platform::WindowFactory& windows_;
    Module1& store_;
    std::function<void()> closed_;
    std::unique_ptr<platform::Window> window_;
    bool saving_ = false;
    // What a save's continuation holds of this window: it may run after the
    // program ending has finished the entry, even after a later record's
    // window replaced this one.
    std::shared_ptr<Dialog*> self_ = std::make_shared<Dialog*>(this);
};

platform::WindowDesc dialogLayout();

}  // namespace poroten::highscore
