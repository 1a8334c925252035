// The page's windows, wake-ups and boxes as a player meets them (probe.js):
// the contract's probe, and what the page's own cases read beyond it.
#pragma once

#include <string>
#include <vector>

#include "adapter_factories.h"
#include "platform/web/web_message_boxes.h"
#include "platform/web/web_timer.h"
#include "platform/web/web_window.h"
#include "platform/window_rules.h"

namespace poroten::testing {

class PageProbe : public AdapterProbe {
public:
    platform::WindowFactory& windows() override { return windows_; }
    std::unique_ptr<platform::WakeUp> makeWakeUp() override {
        return std::make_unique<platform::web::WebWakeUp>();
    }
    platform::MessageBoxes& boxes() override { return boxes_; }

    // Gives the page its turn (timers, the player's clicks) until done.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;

    bool isShown(const platform::WindowDesc& window) override;
    std::string caption(const platform::WindowDesc& window) override;
    std::string text(const platform::WindowDesc& window,
                     const platform::ControlDesc& control) override;
    platform::Colour backColour(const platform::WindowDesc& window,
                                const platform::ControlDesc& control) override;

    void pressCloseBox(const platform::WindowDesc& window) override;
    void click(const platform::WindowDesc& window, const platform::ControlDesc& button) override;
    void choose(const platform::WindowDesc& window, const platform::MenuDesc& item) override;

    void whenBoxOpens(std::function<void()> act) override { boxAct_ = std::move(act); }
    platform::BoxContent openBox() override;
    void pressBoxOk() override;

    // The control's text colour as drawn, 0x00BBGGRR.
    platform::Colour textColour(const platform::WindowDesc& window,
                                const platform::ControlDesc& control);
    // The control's place in CSS pixels from its client area's corner.
    platform::PixelRect placeOf(const platform::WindowDesc& window,
                                const platform::ControlDesc& control);
    // A property of the control's computed style, as CSS gives it.
    std::string computed(const platform::WindowDesc& window, const platform::ControlDesc& control,
                         const char* property);
    // The most characters a text box takes; -1: no limit.
    int maxLength(const platform::WindowDesc& window, const platform::ControlDesc& control);
    // The ids of the client area's controls in the page's order.
    std::vector<int> order(const platform::WindowDesc& window);
    // How many windows of this name the page holds, shown or not.
    int count(const platform::WindowDesc& window);

private:
    platform::web::WebWindowFactory windows_;
    platform::web::WebMessageBoxes boxes_;
    std::function<void()> boxAct_;
};

}  // namespace poroten::testing
