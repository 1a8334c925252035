#include "highscore/name_window.h"

#include <utility>

#include "platform/gothics.h"
#include "platform/texts.h"

namespace poroten::highscore {

using platform::Align;
using platform::ControlDesc;
using platform::ControlKind;

namespace {

// No colours of its own: the name window looks as the system's dialogs do.
ControlDesc control(int id, ControlKind kind, const char* name, const char* text,
                    platform::TwipRect bounds, platform::FontDesc font, Align align, int tab) {
    ControlDesc c;
    c.id = id;
    c.kind = kind;
    c.name = name;
    c.text = text;
    c.bounds = bounds;
    c.font = std::move(font);
    c.align = align;
    c.tabIndex = tab;
    return c;
}

}  // namespace

platform::WindowDesc dialogLayout() {
    platform::WindowDesc w;
    w.name = "Dialog";
    w.caption = kNameCaption;
    w.clientWidth = 2655;
    w.clientHeight = 1455;
    w.position = platform::TwipPoint{2760, 3750};
    w.frame = platform::Frame::FixedDialog;
    w.taskbarButton = false;
    w.icon = false;
    const platform::FontDesc gothic12{platform::kJapaneseFont, 12};
    w.controls = {
        control(Dialog::Label1, ControlKind::Label, "Label1", kNamePrompt, {120, 120, 2415, 255},
                gothic12, Align::Centre, 3),
        control(Dialog::Text1, ControlKind::TextBox, "Text1", "", {120, 480, 2415, 375}, gothic12,
                Align::Left, 0),
        control(Dialog::OKButton, ControlKind::Button, "OKButton", kOkButton, {120, 960, 1215, 375},
                {}, Align::Centre, 1),
        control(Dialog::CancelButton, ControlKind::Button, "CancelButton", kCancelButton,
                {1320, 960, 1215, 375}, {}, Align::Centre, 2),
    };
    w.focusControl = Dialog::Text1;
    return w;
}

Dialog::Dialog(platform::WindowFactory& windows, Module1& store, std::function<void()> closed)
    : windows_(windows), store_(store), closed_(std::move(closed)) {}

Dialog::~Dialog() = default;

void Dialog::show() {
    if (!window_) {
        window_ = windows_.createWindow(dialogLayout(), *this);
    }
    window_->show();
}

void Dialog::OKButton_Click() {
    // A browser keeps the window while the save failure box is open; a second
    // OK then must not save again.
    if (!window_ || saving_) {
        return;
    }
    saving_ = true;
    store_.ConfirmNewRecord(window_->textBox(Text1).text(), [self = std::weak_ptr<Dialog*>(self_)] {
        if (const auto dialog = self.lock()) {
            (*dialog)->finish();
        }
    });
}

void Dialog::confirmBeforeEnding() {
    if (!window_) {
        return;
    }
    store_.ConfirmBeforeEnding(window_->textBox(Text1).text());
    finish();
}

void Dialog::keepForNow() {
    if (window_) {
        store_.KeepNameForNow(window_->textBox(Text1).text());
    }
}

void Dialog::finish() {
    saving_ = false;
    if (!window_) {
        return;
    }
    window_.reset();
    if (closed_) {
        closed_();
    }
}

void Dialog::CancelButton_Click() {
    if (window_) {
        window_->textBox(Text1).setText("");
    }
}

bool Dialog::Text1_KeyPress(char32_t character) {
    if (character != 13) {
        return false;
    }
    OKButton_Click();
    return true;
}

bool Dialog::onKeyPress(int control, char32_t character) {
    return control == Text1 && Text1_KeyPress(character);
}

void Dialog::onCommand(int id) {
    if (id == OKButton) {
        OKButton_Click();
    } else if (id == CancelButton) {
        CancelButton_Click();
    }
}

// Closing the window any other way keeps the name typed so far, as OK does:
// the record is saved and the main window comes back.
void Dialog::onCloseRequest() {
    OKButton_Click();
}

}  // namespace poroten::highscore
