#include "platform/web/window_json.h"

#include <cstdio>
#include <map>

#include "platform/json.h"
#include "platform/window_rules.h"

namespace poroten::platform::web {

namespace {

void appendJsonString(std::string& out, std::string_view text) {
    out += jsonString(text);
}

void appendColour(std::string& out, const std::optional<Colour>& colour) {
    if (!colour) {
        out += "null";
        return;
    }
    char css[16];
    std::snprintf(css, sizeof css, "\"#%02x%02x%02x\"", redOf(*colour), greenOf(*colour),
                  blueOf(*colour));
    out += css;
}

void appendMenu(std::string& out, const std::vector<MenuDesc>& menu) {
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

}  // namespace

std::vector<const ControlDesc*> creationOrder(const WindowDesc& desc) {
    std::map<int, const ControlDesc*> byId;
    for (const ControlDesc& c : desc.controls) {
        byId.try_emplace(c.id, &c);
    }
    const std::vector<int> tabbed = tabOrder(desc);
    auto next = tabbed.begin();
    std::vector<const ControlDesc*> order;
    for (const ControlDesc& c : desc.controls) {
        if (c.kind == ControlKind::Label) {
            order.push_back(&c);
        } else if (next != tabbed.end()) {
            order.push_back(byId.at(*next++));
        }
    }
    return order;
}

std::string windowJson(const WindowDesc& d) {
    std::string out = "{\"name\":";
    appendJsonString(out, d.name);
    out += ",\"caption\":";
    appendJsonString(out, d.caption);
    out += ",\"width\":" + std::to_string(twipsToPixels(d.clientWidth));
    out += ",\"height\":" + std::to_string(twipsToPixels(d.clientHeight));
    out += ",\"back\":";
    appendColour(out, d.backColour);
    out += ",\"dialog\":";
    out += d.frame == Frame::FixedDialog ? "true" : "false";
    if (d.position) {
        out += ",\"left\":" + std::to_string(twipsToPixels(d.position->left));
        out += ",\"top\":" + std::to_string(twipsToPixels(d.position->top));
    }
    out += ",\"focus\":" + (d.focusControl ? std::to_string(*d.focusControl) : "null");
    out += ",\"menu\":";
    appendMenu(out, d.menu);
    out += ",\"controls\":[";
    bool first = true;
    for (const ControlDesc* c : creationOrder(d)) {
        out += first ? "{\"id\":" : ",{\"id\":";
        first = false;
        out += std::to_string(c->id);
        out += ",\"kind\":\"";
        out += nameOf(c->kind);
        out += "\",\"name\":";
        appendJsonString(out, c->name);
        out += ",\"text\":";
        appendJsonString(out, c->text);
        const PixelRect p = toPixels(c->bounds);
        out += ",\"bounds\":[" + std::to_string(p.left) + "," + std::to_string(p.top) + "," +
               std::to_string(p.width) + "," + std::to_string(p.height) + "]";
        out += ",\"back\":";
        appendColour(out, c->backColour);
        out += ",\"face\":";
        appendJsonString(out, c->font.face);
        out += ",\"points\":" + std::to_string(c->font.points);
        out += ",\"align\":\"";
        out += nameOf(c->align);
        out += "\"}";
    }
    out += "]}";
    return out;
}

}  // namespace poroten::platform::web
