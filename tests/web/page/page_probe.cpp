#include "page_probe.h"

#include <emscripten/emscripten.h>

#include <chrono>
#include <cstdlib>

namespace poroten::testing {

namespace {

// clang-format off
EM_JS(int, js_shown, (const char* name), {
    return pageProbe.shown(pageProbe.window(UTF8ToString(name))) ? 1 : 0;
});
EM_JS(int, js_count, (const char* name), {
    name = UTF8ToString(name);
    return Array.prototype.filter.call(document.querySelectorAll(".pw-window"),
        function (w) { return w.dataset.name === name; }).length;
});
EM_JS(char*, js_caption, (const char* name), {
    var w = pageProbe.window(UTF8ToString(name));
    var caption = w && w.querySelector(".pw-titlebar .pw-caption");
    return pageProbe.alloc(caption ? caption.textContent : "(no caption)");
});
EM_JS(char*, js_text, (const char* name, int id), {
    var text = pageProbe.text(pageProbe.control(UTF8ToString(name), id));
    return pageProbe.alloc(text === null ? "(no control " + id + ")" : text);
});
EM_JS(int, js_colour, (const char* name, int id, const char* property), {
    var el = pageProbe.control(UTF8ToString(name), id);
    return el ? pageProbe.colour(getComputedStyle(el)[UTF8ToString(property)]) : -2;
});
EM_JS(char*, js_computed, (const char* name, int id, const char* property), {
    var el = pageProbe.control(UTF8ToString(name), id);
    return pageProbe.alloc(el ? getComputedStyle(el).getPropertyValue(UTF8ToString(property)) : "");
});
EM_JS(int, js_place, (const char* name, int id, int edge), {
    var el = pageProbe.control(UTF8ToString(name), id);
    if (!el) return -9999;
    var r = el.getBoundingClientRect(), c = el.parentElement.getBoundingClientRect();
    return Math.round([r.left - c.left, r.top - c.top, r.width, r.height][edge]);
});
EM_JS(int, js_max_length, (const char* name, int id), {
    var el = pageProbe.control(UTF8ToString(name), id);
    return el ? el.maxLength : -9999;
});
EM_JS(char*, js_order, (const char* name), {
    var w = pageProbe.window(UTF8ToString(name));
    var client = w && w.querySelector(".pw-client");
    return pageProbe.alloc(client ? Array.prototype.map.call(client.children,
        function (c) { return c.dataset.id; }).join(" ") : "");
});
EM_JS(void, js_press_close_box, (const char* name), {
    var w = pageProbe.window(UTF8ToString(name));
    pageProbe.click(w && w.querySelector(".pw-titlebar .pw-close"));
});
EM_JS(void, js_click, (const char* name, int id), {
    pageProbe.click(pageProbe.control(UTF8ToString(name), id));
});
EM_JS(void, js_choose, (const char* name, const char* text), {
    pageProbe.choose(UTF8ToString(name), UTF8ToString(text));
});
EM_JS(int, js_box_open, (), { return pageProbe.box() ? 1 : 0; });
EM_JS(char*, js_box, (), {
    var box = pageProbe.box();
    if (!box) return 0;
    return pageProbe.alloc([box.querySelector(".pw-titlebar").textContent]
        .concat(Array.prototype.map.call(box.querySelectorAll(".pw-boxtext > *"),
                                         function (l) { return l.textContent; })).join(String.fromCharCode(31)));
});
EM_JS(void, js_press_box_ok, (), {
    var box = pageProbe.box();
    pageProbe.click(box && box.querySelector(".pw-ok"));
});
// clang-format on

std::string take(char* text) {
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

// The title and the lines as js_box gives them, a unit separator between each.
std::vector<std::string> parts(const std::string& joined) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = joined.find('\x1f', from)) != std::string::npos; from = at + 1) {
        out.push_back(joined.substr(from, at - from));
    }
    out.push_back(joined.substr(from));
    return out;
}

// The menu entry's text as the page shows it: the access key's "&" is its underline.
std::string shownText(std::string text) {
    const auto at = text.find('&');
    if (at != std::string::npos) {
        text.erase(at, 1);
    }
    return text;
}

}  // namespace

bool PageProbe::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (boxAct_ && js_box_open()) {
            const std::function<void()> act = std::move(boxAct_);
            boxAct_ = {};
            act();
        }
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        emscripten_sleep(2);
    }
}

bool PageProbe::isShown(const platform::WindowDesc& window) {
    return js_shown(window.name.c_str()) != 0;
}

std::string PageProbe::caption(const platform::WindowDesc& window) {
    return take(js_caption(window.name.c_str()));
}

std::string PageProbe::text(const platform::WindowDesc& window,
                            const platform::ControlDesc& control) {
    return take(js_text(window.name.c_str(), control.id));
}

platform::Colour PageProbe::backColour(const platform::WindowDesc& window,
                                       const platform::ControlDesc& control) {
    return static_cast<platform::Colour>(
        js_colour(window.name.c_str(), control.id, "backgroundColor"));
}

platform::Colour PageProbe::textColour(const platform::WindowDesc& window,
                                       const platform::ControlDesc& control) {
    return static_cast<platform::Colour>(js_colour(window.name.c_str(), control.id, "color"));
}

platform::PixelRect PageProbe::placeOf(const platform::WindowDesc& window,
                                       const platform::ControlDesc& control) {
    const char* name = window.name.c_str();
    return {js_place(name, control.id, 0), js_place(name, control.id, 1),
            js_place(name, control.id, 2), js_place(name, control.id, 3)};
}

std::string PageProbe::computed(const platform::WindowDesc& window,
                                const platform::ControlDesc& control, const char* property) {
    return take(js_computed(window.name.c_str(), control.id, property));
}

int PageProbe::maxLength(const platform::WindowDesc& window, const platform::ControlDesc& control) {
    return js_max_length(window.name.c_str(), control.id);
}

std::vector<int> PageProbe::order(const platform::WindowDesc& window) {
    std::vector<int> ids;
    const std::string listed = take(js_order(window.name.c_str()));
    for (std::size_t at = 0; at < listed.size();) {
        std::size_t used = 0;
        ids.push_back(std::stoi(listed.substr(at), &used));
        at += used + 1;
    }
    return ids;
}

int PageProbe::count(const platform::WindowDesc& window) {
    return js_count(window.name.c_str());
}

void PageProbe::pressCloseBox(const platform::WindowDesc& window) {
    js_press_close_box(window.name.c_str());
}

void PageProbe::click(const platform::WindowDesc& window, const platform::ControlDesc& button) {
    js_click(window.name.c_str(), button.id);
}

void PageProbe::choose(const platform::WindowDesc& window, const platform::MenuDesc& item) {
    js_choose(window.name.c_str(), shownText(item.text).c_str());
}

platform::BoxContent PageProbe::openBox() {
    char* box = js_box();
    if (!box) {
        return {};
    }
    const std::vector<std::string> shown = parts(take(box));
    return {shown.front(), {shown.begin() + 1, shown.end()}};
}

void PageProbe::pressBoxOk() {
    js_press_box_ok();
}

std::unique_ptr<AdapterProbe> makeAdapterProbe() {
    return std::make_unique<PageProbe>();
}

}  // namespace poroten::testing
