// Every service the game needs, in a browser page. The page is drawn by
// library_poroten.js; this side keeps what the game reads back and routes the
// page's events to the game.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/clock_random.h"
#include "platform/cp932_codec.h"
#include "platform/services.h"
#include "platform/web/web_files.h"

namespace poroten::web {

class WebLabel : public platform::Label {
public:
    WebLabel(int window, int id) : window_(window), id_(id) {}
    std::string text() const override { return text_; }
    void setText(std::string_view utf8) override;
    void setBackColour(platform::Colour colour) override;

private:
    int window_;
    int id_;
    std::string text_;
};

class WebTextBox : public platform::TextBox {
public:
    WebTextBox(int window, int id) : window_(window), id_(id) {}
    std::string text() const override;  // what the page's box holds now
    void setText(std::string_view utf8) override;

private:
    int window_;
    int id_;
};

class WebWindow : public platform::Window {
public:
    WebWindow(const platform::WindowDesc& desc, platform::WindowEvents& events);
    ~WebWindow() override;
    void show() override;
    void hide() override;
    bool isVisible() const override { return visible_; }
    platform::Label& label(int id) override;
    platform::TextBox& textBox(int id) override;

    int handle() const { return handle_; }
    platform::WindowEvents& events() { return events_; }

private:
    int handle_;
    platform::WindowEvents& events_;
    bool visible_ = false;
    std::map<int, WebLabel> labels_;
    std::map<int, WebTextBox> textBoxes_;
};

class WebWindowFactory : public platform::WindowFactory {
public:
    std::unique_ptr<platform::Window> createWindow(const platform::WindowDesc& desc,
                                                   platform::WindowEvents& events) override;
};

// Keeps to a schedule of whole intervals from when it was enabled: a late
// tick does not push the next one back, a tick is never early, and ticks a
// throttled background tab missed are dropped rather than run in a burst.
class WebTimer : public platform::Timer {
public:
    WebTimer(std::chrono::milliseconds interval, std::function<void()> onTimer);
    ~WebTimer() override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return pending_ != 0; }

private:
    static void fired(void* self);
    void arm(double now);

    double interval_;
    std::function<void()> onTimer_;
    double due_ = 0;
    long pending_ = 0;
};

class WebTimerFactory : public platform::TimerFactory {
public:
    std::unique_ptr<platform::Timer> createTimer(std::chrono::milliseconds interval,
                                                 std::function<void()> onTimer) override;
};

// Boxes are modal dialogs in the page; the page cannot block, so show returns
// at once and closed runs when the player closes the box.
class WebMessageBoxes : public platform::MessageBoxes {
public:
    void show(std::string_view title, std::string_view text, std::function<void()> closed) override;
};

// A page cannot close its own tab: quitting stops the game and says so.
class WebApplication : public platform::Application {
public:
    void quit() override;
};

class WebPlatform {
public:
    platform::Services services() {
        return {windows_, timers_, messageBoxes_, application_, random_, codec_, files_};
    }
    WebFiles& files() { return files_; }
    platform::Cp932Codec& codec() { return codec_; }
    WebMessageBoxes& messageBoxes() { return messageBoxes_; }

private:
    WebWindowFactory windows_;
    WebTimerFactory timers_;
    WebMessageBoxes messageBoxes_;
    WebApplication application_;
    platform::ClockRandom random_;
    platform::Cp932Codec codec_;
    WebFiles files_;
};

// The description as JSON, the form the page builds windows from.
std::string windowJson(const platform::WindowDesc& desc);

}  // namespace poroten::web
