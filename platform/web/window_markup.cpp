#include "platform/web/window_markup.h"

#include <cctype>
#include <cstdio>
#include <map>

#include "platform/gothics.h"
#include "platform/web/json.h"
#include "platform/window_rules.h"
#include "platform/texts.h"
#include "platform/xml_text.h"

namespace poroten::platform::web {

namespace {

// A caption with its access key marked by "&": "ファイル(&F)" -> "ファイル(<u>F</u>)",
// and the key, "f" (empty when there is none).
std::string accessText(std::string_view text, std::string& key) {
    const auto at = text.find('&');
    key.clear();
    if (at == std::string_view::npos || at + 1 >= text.size()) {
        return xmlEscaped(text);
    }
    // The key is one ASCII letter or digit in every caption the game has.
    key = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(text[at + 1]))));
    return xmlEscaped(text.substr(0, at)) + "<u>" + xmlEscaped(text.substr(at + 1, 1)) + "</u>" +
           xmlEscaped(text.substr(at + 2));
}

std::string attribute(std::string_view name, std::string_view value) {
    return " " + std::string(name) + "=\"" + xmlEscaped(value) + "\"";
}

// An entry with items opens its menu; any other entry, and each item, is a command.
void appendMenu(std::string& out, const std::vector<MenuDesc>& menu) {
    out += "<div class=\"pw-menubar\" role=\"menubar\">";
    for (const MenuDesc& entry : menu) {
        std::string key;
        const std::string text = accessText(entry.text, key);
        out += "<button type=\"button\" class=\"pw-menuentry\" role=\"menuitem\"";
        if (entry.items.empty()) {
            out += attribute("data-command", std::to_string(entry.id));
        } else {
            out += " aria-haspopup=\"menu\" aria-expanded=\"false\"";
        }
        if (!key.empty()) {
            out += attribute("aria-keyshortcuts",
                             "Alt+" + std::string(1, static_cast<char>(std::toupper(key[0]))));
        }
        out += ">" + text + "</button>";
        if (entry.items.empty()) {
            continue;
        }
        out += "<div class=\"pw-menu\" role=\"menu\" hidden=\"\">";
        for (const MenuDesc& item : entry.items) {
            std::string itemKey;
            const std::string itemText = accessText(item.text, itemKey);
            out += "<button type=\"button\" role=\"menuitem\"" + attribute("data-key", itemKey) +
                   attribute("data-command", std::to_string(item.id)) + ">" + itemText +
                   "</button>";
        }
        out += "</div>";
    }
    out += "</div>";
}

// A text box is named by the window's labels, as a screen reader would read them to it.
std::string labelsText(const WindowDesc& d, const ControlDesc& box) {
    std::string out;
    for (const ControlDesc& c : d.controls) {
        if (c.kind == ControlKind::Label) {
            out += (out.empty() ? "" : " ") + c.text;
        }
    }
    return out.empty() ? box.name : out;
}

std::string controlMarkup(const WindowDesc& d, const ControlDesc& c) {
    const std::string common = attribute("class", "pw-control pw-" + std::string(nameOf(c.kind))) +
                               attribute("data-name", c.name) +
                               attribute("data-id", std::to_string(c.id)) +
                               (d.focusControl == c.id ? " data-focus=\"\"" : "");
    switch (c.kind) {
        case ControlKind::TextBox:
            return "<input type=\"text\"" + attribute("value", c.text) +
                   attribute("aria-label", labelsText(d, c)) +
                   (c.maxLength > 0 ? attribute("maxlength", std::to_string(c.maxLength)) : "") +
                   common + ">";
        case ControlKind::Button:
            return "<button type=\"button\"" + common + ">" + xmlEscaped(c.text) + "</button>";
        case ControlKind::Label:
            break;
    }
    return "<div" + common + ">" + xmlEscaped(c.text) + "</div>";
}

std::string selectorOf(const WindowDesc& d) {
    return ".pw-window[data-name=\"" + xmlEscaped(d.name) + "\"]";
}

}  // namespace

std::string cssColour(Colour c) {
    char css[8];
    std::snprintf(css, sizeof css, "#%02x%02x%02x", redOf(c), greenOf(c), blueOf(c));
    return css;
}

std::string cssFontFamily(std::string_view face) {
    std::string out;
    const auto append = [&out](std::string_view name) {
        out += '"';
        for (const char c : name) {
            if (c == '"' || c == '\\') {
                out += '\\';
            }
            out += c;
        }
        out += "\", ";
    };
    append(face);
    for (const std::string_view gothic : kJapaneseGothics) {
        if (gothic != face) {
            append(gothic);
        }
    }
    return out + "sans-serif";
}

std::string cssPixels(int pixels) {
    return std::to_string(pixels) + "px";
}

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

std::string windowMarkup(const WindowDesc& d) {
    const bool dialog = d.frame == Frame::FixedDialog;
    const std::string caption = xmlEscaped(d.caption);
    std::string out =
        dialog ? "<dialog class=\"pw-window pw-dialog\"" : "<div class=\"pw-window pw-main\"";
    out += attribute("aria-label", d.caption) + attribute("data-name", d.name) + ">";
    // The main window's title bar carries the page's heading, as a desktop
    // window's carries its caption. Both frames have a close box only.
    out += "<div class=\"pw-titlebar\">";
    out += dialog ? "<span class=\"pw-caption\">" + caption + "</span>"
                  : "<h1 class=\"pw-caption\">" + caption + "</h1>";
    out += "<button type=\"button\" class=\"pw-close\"" + attribute("aria-label", kCloseLabel) +
           " tabindex=\"-1\">" + xmlEscaped(kCloseBox) + "</button>";
    out += "</div>";
    if (!d.menu.empty()) {
        appendMenu(out, d.menu);
    }
    // The main window's client area takes the game's keys.
    out += dialog ? "<div class=\"pw-client\">"
                  : "<div class=\"pw-client\" tabindex=\"0\" role=\"application\"" +
                        attribute("aria-label", d.caption) + ">";
    for (const ControlDesc* c : creationOrder(d)) {
        out += controlMarkup(d, *c);
    }
    out += dialog ? "</div></dialog>" : "</div></div>";
    return out;
}

std::vector<StyleRule> windowStyle(const WindowDesc& d) {
    std::vector<StyleRule> rules;
    if (d.position) {
        rules.push_back({"",
                         {{"left", cssPixels(twipsToPixels(d.position->left))},
                          {"top", cssPixels(twipsToPixels(d.position->top))}}});
    }
    StyleRule client{".pw-client",
                     {{"width", cssPixels(twipsToPixels(d.clientWidth))},
                      {"height", cssPixels(twipsToPixels(d.clientHeight))}}};
    if (d.backColour) {
        client.declarations.emplace_back("background", cssColour(*d.backColour));
    }
    rules.push_back(std::move(client));
    for (const ControlDesc* c : creationOrder(d)) {
        const PixelRect p = toPixels(c->bounds);
        StyleRule rule{"[data-id=\"" + std::to_string(c->id) + "\"]",
                       {{"left", cssPixels(p.left)},
                        {"top", cssPixels(p.top)},
                        {"width", cssPixels(p.width)},
                        {"height", cssPixels(p.height)}}};
        auto& s = rule.declarations;
        if (c->backColour) {
            s.emplace_back("background", cssColour(*c->backColour));
        }
        if (c->textColour) {
            s.emplace_back("color", cssColour(*c->textColour));
        }
        if (!c->font.face.empty()) {
            s.emplace_back("font-family", cssFontFamily(c->font.face));
        }
        if (c->font.points) {
            s.emplace_back("font-size", std::to_string(c->font.points) + "pt");
        }
        s.emplace_back("text-align", nameOf(c->align));
        rules.push_back(std::move(rule));
    }
    return rules;
}

std::string styleSheet(const WindowDesc& d) {
    std::string out;
    for (const StyleRule& rule : windowStyle(d)) {
        out += selectorOf(d) + (rule.target.empty() ? "" : " " + rule.target) + " {";
        for (const auto& [property, value] : rule.declarations) {
            out += " " + property + ": " + value + ";";
        }
        out += " }\n";
    }
    return out;
}

std::string styleJson(const WindowDesc& d) {
    JsonWriter json;
    json.beginArray();
    for (const StyleRule& rule : windowStyle(d)) {
        json.beginArray().value(rule.target).beginObject();
        for (const auto& [property, value] : rule.declarations) {
            json.key(property).value(value);
        }
        json.endObject().endArray();
    }
    json.endArray();
    return json.text();
}

}  // namespace poroten::platform::web
