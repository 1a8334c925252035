#include "platform/web/window_markup.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/web/window_json.h"
#include "platform/window_rules.h"

namespace poroten::platform::web {

namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// "ファイル(&F)" -> "ファイル(<u>F</u>)" and "f", as the page's accessText does.
std::string accessText(std::string_view text, std::string& key) {
    const auto at = text.find('&');
    key.clear();
    if (at == std::string_view::npos || at + 1 >= text.size()) {
        return escaped(text);
    }
    // The key is one ASCII letter or digit in every caption the game has.
    const char k = text[at + 1];
    key = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(k))));
    return escaped(text.substr(0, at)) + "<u>" + escaped(text.substr(at + 1, 1)) + "</u>" +
           escaped(text.substr(at + 2));
}

std::string upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string colourCss(Colour c) {
    char css[8];
    std::snprintf(css, sizeof css, "#%02x%02x%02x", redOf(c), greenOf(c), blueOf(c));
    return css;
}

void appendMenu(std::string& out, const std::vector<MenuDesc>& menu) {
    out += "<div class=\"pw-menubar\" role=\"menubar\">";
    for (const MenuDesc& entry : menu) {
        std::string key;
        const std::string text = accessText(entry.text, key);
        out += "<button type=\"button\" class=\"pw-menuentry\" role=\"menuitem\"";
        if (!entry.items.empty()) {
            out += " aria-haspopup=\"menu\" aria-expanded=\"false\"";
        }
        if (!key.empty()) {
            out += " aria-keyshortcuts=\"Alt+" + escaped(upper(key)) + "\"";
        }
        out += ">" + text + "</button>";
        if (entry.items.empty()) {
            continue;
        }
        out += "<div class=\"pw-menu\" role=\"menu\" hidden=\"\">";
        for (const MenuDesc& item : entry.items) {
            std::string itemKey;
            const std::string itemText = accessText(item.text, itemKey);
            out += "<button type=\"button\" role=\"menuitem\" data-key=\"" + escaped(itemKey) +
                   "\">" + itemText + "</button>";
        }
        out += "</div>";
    }
    out += "</div>";
}

std::string labelsText(const WindowDesc& d, const ControlDesc& box) {
    std::string out;
    for (const ControlDesc& c : d.controls) {
        if (c.kind == ControlKind::Label) {
            out += (out.empty() ? "" : " ") + c.text;
        }
    }
    return out.empty() ? box.name : out;
}

std::string selectorOf(const WindowDesc& d) {
    return ".pw-window[data-name=\"" + escaped(d.name) + "\"]";
}

}  // namespace

std::string cssPixels(int pixels) {
    return std::to_string(pixels) + "px";
}

std::string windowMarkup(const WindowDesc& d) {
    const std::string caption = escaped(d.caption);
    std::string out = "<div class=\"pw-window pw-main\" aria-label=\"" + caption +
                      "\" data-name=\"" + escaped(d.name) + "\">";
    out += "<div class=\"pw-titlebar\"><h1 class=\"pw-caption\">" + caption + "</h1></div>";
    if (!d.menu.empty()) {
        appendMenu(out, d.menu);
    }
    out += "<div class=\"pw-client\" tabindex=\"0\" role=\"application\" aria-label=\"" + caption +
           "\">";
    for (const ControlDesc* c : creationOrder(d)) {
        const std::string common = "class=\"pw-control pw-" +
                                   std::string(c->kind == ControlKind::Label     ? "label"
                                               : c->kind == ControlKind::TextBox ? "textbox"
                                                                                 : "button") +
                                   (c->font.face.empty() && c->font.points == 0 ? "" : " pw-face") +
                                   "\" data-name=\"" + escaped(c->name) + "\" data-id=\"" +
                                   std::to_string(c->id) + "\"";
        if (c->kind == ControlKind::TextBox) {
            out += "<input type=\"text\" value=\"" + escaped(c->text) + "\" aria-label=\"" +
                   escaped(labelsText(d, *c)) + "\" " + common + ">";
        } else if (c->kind == ControlKind::Button) {
            out += "<button type=\"button\" " + common + ">" + escaped(c->text) + "</button>";
        } else {
            out += "<div " + common + ">" + escaped(c->text) + "</div>";
        }
    }
    out += "</div></div>";
    return out;
}

std::string windowStyle(const WindowDesc& d) {
    const std::string window = selectorOf(d);
    std::string out = window + " > .pw-client { width: " + cssPixels(twipsToPixels(d.clientWidth)) +
                      "; height: " + cssPixels(twipsToPixels(d.clientHeight)) + ";";
    if (d.backColour) {
        out += " background: " + colourCss(*d.backColour) + ";";
    }
    out += " }\n";
    for (const ControlDesc* c : creationOrder(d)) {
        const PixelRect p = toPixels(c->bounds);
        out += window + " [data-id=\"" + std::to_string(c->id) +
               "\"] { left: " + cssPixels(p.left) + "; top: " + cssPixels(p.top) +
               "; width: " + cssPixels(p.width) + "; height: " + cssPixels(p.height) + ";";
        if (c->backColour) {
            out += " background: " + colourCss(*c->backColour) + ";";
        }
        if (c->font.points) {
            out += " font-size: " + std::to_string(c->font.points) + "pt;";
        }
        out += std::string(" text-align: ") +
               (c->align == Align::Centre  ? "center"
                : c->align == Align::Right ? "right"
                                           : "left") +
               "; }\n";
    }
    return out;
}

}  // namespace poroten::platform::web
