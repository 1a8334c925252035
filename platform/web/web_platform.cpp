#include "platform/web/web_platform.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/application.h"
#include "platform/tick_schedule.h"

extern "C" {
// library_poroten.js
int poroten_window_create(const char* json);
void poroten_window_show(int window);
void poroten_window_hide(int window);
void poroten_window_destroy(int window);
void poroten_label_set_text(int window, int id, const char* text);
void poroten_label_set_colour(int window, int id, int r, int g, int b);
char* poroten_textbox_text(int window, int id);
void poroten_textbox_set_text(int window, int id, const char* text);
void poroten_box_show(int box, const char* title, const char* text);
void poroten_app_quit();
}

namespace poroten::web {

namespace {

// Everything the page can call back into, by the handles the page knows.
std::map<int, WebWindow*>& liveWindows() {
    static std::map<int, WebWindow*> windows;
    return windows;
}
std::map<int, std::function<void()>>& openBoxes() {
    static std::map<int, std::function<void()>> boxes;
    return boxes;
}
std::set<WebTimer*>& liveTimers() {
    static std::set<WebTimer*> timers;
    return timers;
}
bool stopped = false;
constexpr double kSpinMs = 2.0;

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendColour(std::string& out, const std::optional<platform::Colour>& colour) {
    if (!colour) {
        out += "null";
        return;
    }
    char css[16];
    std::snprintf(css, sizeof css, "\"#%02x%02x%02x\"", platform::redOf(*colour),
                  platform::greenOf(*colour), platform::blueOf(*colour));
    out += css;
}

void appendMenu(std::string& out, const std::vector<platform::MenuDesc>& menu) {
    out += '[';
    for (std::size_t i = 0; i < menu.size(); ++i) {
        out += i ? ",{\"id\":" : "{\"id\":";
        out += std::to_string(menu[i].id);
        out += ",\"text\":";
        appendJsonString(out, menu[i].text);
        out += ",\"items\":";
        appendMenu(out, menu[i].items);
        out += '}';
    }
    out += ']';
}

const char* kindName(platform::ControlKind kind) {
    switch (kind) {
        case platform::ControlKind::Label:
            return "label";
        case platform::ControlKind::TextBox:
            return "textbox";
        case platform::ControlKind::Button:
            return "button";
    }
    return "label";
}

const char* alignName(platform::Align align) {
    switch (align) {
        case platform::Align::Left:
            return "left";
        case platform::Align::Centre:
            return "center";
        case platform::Align::Right:
            return "right";
    }
    return "left";
}

}  // namespace

std::string windowJson(const platform::WindowDesc& d) {
    std::string out = "{\"name\":";
    appendJsonString(out, d.name);
    out += ",\"caption\":";
    appendJsonString(out, d.caption);
    out += ",\"width\":" + std::to_string(d.clientWidth);
    out += ",\"height\":" + std::to_string(d.clientHeight);
    out += ",\"back\":";
    appendColour(out, d.backColour);
    out += ",\"dialog\":";
    out += d.frame == platform::Frame::FixedDialog ? "true" : "false";
    if (d.position) {
        out += ",\"left\":" + std::to_string(d.position->left);
        out += ",\"top\":" + std::to_string(d.position->top);
    }
    out += ",\"focus\":" + (d.focusControl ? std::to_string(*d.focusControl) : "null");
    out += ",\"menu\":";
    appendMenu(out, d.menu);
    out += ",\"controls\":[";
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const platform::ControlDesc& c = d.controls[i];
        out += i ? ",{\"id\":" : "{\"id\":";
        out += std::to_string(c.id);
        out += ",\"kind\":\"";
        out += kindName(c.kind);
        out += "\",\"name\":";
        appendJsonString(out, c.name);
        out += ",\"text\":";
        appendJsonString(out, c.text);
        out += ",\"bounds\":[" + std::to_string(c.bounds.left) + "," +
               std::to_string(c.bounds.top) + "," + std::to_string(c.bounds.width) + "," +
               std::to_string(c.bounds.height) + "]";
        out += ",\"back\":";
        appendColour(out, c.backColour);
        out += ",\"face\":";
        appendJsonString(out, c.font.face);
        out += ",\"points\":" + std::to_string(c.font.points);
        out += ",\"align\":\"";
        out += alignName(c.align);
        out += "\",\"tab\":" + std::to_string(c.tabIndex) + "}";
    }
    out += "]}";
    return out;
}

void WebLabel::setText(std::string_view utf8) {
    text_ = std::string(utf8);
    poroten_label_set_text(window_, id_, text_.c_str());
}

void WebLabel::setBackColour(platform::Colour colour) {
    poroten_label_set_colour(window_, id_, platform::redOf(colour), platform::greenOf(colour),
                             platform::blueOf(colour));
}

std::string WebTextBox::text() const {
    char* text = poroten_textbox_text(window_, id_);
    std::string out(text ? text : "");
    std::free(text);
    return out;
}

void WebTextBox::setText(std::string_view utf8) {
    poroten_textbox_set_text(window_, id_, std::string(utf8).c_str());
}

WebWindow::WebWindow(const platform::WindowDesc& desc, platform::WindowEvents& events)
    : handle_(poroten_window_create(windowJson(desc).c_str())), events_(events) {
    for (const platform::ControlDesc& c : desc.controls) {
        if (c.kind == platform::ControlKind::Label) {
            labels_.try_emplace(c.id, handle_, c.id).first->second.setText(c.text);
        } else if (c.kind == platform::ControlKind::TextBox) {
            textBoxes_.try_emplace(c.id, handle_, c.id);
        }
    }
    liveWindows()[handle_] = this;
}

WebWindow::~WebWindow() {
    liveWindows().erase(handle_);
    poroten_window_destroy(handle_);
}

void WebWindow::show() {
    visible_ = true;
    poroten_window_show(handle_);
}

void WebWindow::hide() {
    visible_ = false;
    poroten_window_hide(handle_);
}

platform::Label& WebWindow::label(int id) {
    return labels_.at(id);
}

platform::TextBox& WebWindow::textBox(int id) {
    return textBoxes_.at(id);
}

std::unique_ptr<platform::Window> WebWindowFactory::createWindow(const platform::WindowDesc& desc,
                                                                 platform::WindowEvents& events) {
    return std::make_unique<WebWindow>(desc, events);
}

WebTimer::WebTimer(std::chrono::milliseconds interval, std::function<void()> onTimer)
    : interval_(static_cast<double>(interval.count())), onTimer_(std::move(onTimer)) {
    liveTimers().insert(this);
}

WebTimer::~WebTimer() {
    setEnabled(false);
    liveTimers().erase(this);
}

void WebTimer::setEnabled(bool enabled) {
    if (pending_ != 0) {
        emscripten_clear_timeout(pending_);
        pending_ = 0;
    }
    if (enabled && !stopped) {
        const double now = emscripten_get_now();
        due_ = now + interval_;
        arm(now);
    }
}

void WebTimer::arm(double now) {
    pending_ = emscripten_set_timeout(&WebTimer::fired, std::max(0.0, due_ - now), this);
}

void WebTimer::fired(void* self) {
    auto* timer = static_cast<WebTimer*>(self);
    double now = emscripten_get_now();
    if (now < timer->due_) {
        // Browsers wake a timeout up to a millisecond or so early. Waiting
        // again would cost the clamp browsers put on short nested timeouts
        // (4 ms), so so short a wait is spent here instead.
        if (timer->due_ - now > kSpinMs) {
            timer->arm(now);
            return;
        }
        while (now < timer->due_) {
            now = emscripten_get_now();
        }
    }
    timer->due_ = platform::nextTick(timer->due_, timer->interval_, now);
    timer->arm(now);
    // The handler may disable or re-enable this timer; nothing here runs after it.
    timer->onTimer_();
}

std::unique_ptr<platform::Timer> WebTimerFactory::createTimer(std::chrono::milliseconds interval,
                                                              std::function<void()> onTimer) {
    return std::make_unique<WebTimer>(interval, std::move(onTimer));
}

void WebMessageBoxes::show(std::string_view title, std::string_view text,
                           std::function<void()> closed) {
    static int nextBox = 0;
    const int box = ++nextBox;
    openBoxes()[box] = std::move(closed);
    poroten_box_show(box, std::string(title.empty() ? platform::kApplicationTitle : title).c_str(),
                     std::string(text).c_str());
}

void WebApplication::quit() {
    stopped = true;
    for (WebTimer* timer : liveTimers()) {
        timer->setEnabled(false);
    }
    openBoxes().clear();
    poroten_app_quit();
}

}  // namespace poroten::web

using poroten::web::liveWindows;
using poroten::web::openBoxes;
using poroten::web::stopped;

// What the page reports. A handler may destroy the window that raised it, so
// nothing here touches the window afterwards.
extern "C" {

EMSCRIPTEN_KEEPALIVE int poroten_on_key(int window, int control, int character) {
    const auto it = liveWindows().find(window);
    if (stopped || it == liveWindows().end()) {
        return 0;
    }
    return it->second->events().onKeyPress(control, static_cast<char32_t>(character)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void poroten_on_command(int window, int id) {
    const auto it = liveWindows().find(window);
    if (!stopped && it != liveWindows().end()) {
        it->second->events().onCommand(id);
    }
}

EMSCRIPTEN_KEEPALIVE void poroten_on_close(int window) {
    const auto it = liveWindows().find(window);
    if (!stopped && it != liveWindows().end()) {
        it->second->events().onCloseRequest();
    }
}

EMSCRIPTEN_KEEPALIVE void poroten_on_box_closed(int box) {
    const auto it = openBoxes().find(box);
    if (stopped || it == openBoxes().end()) {
        return;
    }
    auto closed = std::move(it->second);
    openBoxes().erase(it);
    if (closed) {
        closed();
    }
}
}
