// Built for the build machine: writes the page with the main window's markup
// in it, the style sheet that places it (both from the game's own layout, by
// the code the program draws its windows with) and the pre-frame script
// inline, and their hashes in the page's policy; the main window's caption as
// the page's title, the page's own texts (platform/texts.h) and its fonts
// (platform/gothics.h); and the small icon as a data URL, which the browser
// would otherwise fetch as the page loads: the window is drawn from the page's
// one response.
//   web_page_gen PAGE_TEMPLATE STYLE_TEMPLATE SCRIPT ICON_PNG PAGE_OUT
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/layout.h"
#include "platform/gothics.h"
#include "platform/web/window_markup.h"
#include "platform/window_rules.h"
#include "platform/xml_text.h"
#include "tools/csp_hash.h"

namespace {

bool readFile(const char* path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return static_cast<bool>(in) || in.eof();
}

bool writeFile(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// Puts text in the one place mark holds in page, or in every place it holds
// when several.
bool fill(std::string& page, const std::string& mark, const std::string& text,
          bool several = false) {
    auto at = page.find(mark);
    if (at == std::string::npos ||
        (!several && page.find(mark, at + mark.size()) != std::string::npos)) {
        std::cerr << "web_page_gen: the page needs " << (several ? "" : "one ") << mark << "\n";
        return false;
    }
    for (; at != std::string::npos; at = page.find(mark, at + text.size())) {
        page.replace(at, mark.size(), text);
    }
    return true;
}

// Text that could end its element early, or that the parser would change
// (a carriage return), would no longer match its hash.
bool inlinable(const std::string& text, const std::string& end) {
    if (text.find(end) != std::string::npos || text.find("<!--") != std::string::npos ||
        text.find('\r') != std::string::npos) {
        std::cerr << "web_page_gen: cannot inline text holding " << end << ", <!-- or CR\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: web_page_gen PAGE_TEMPLATE STYLE_TEMPLATE SCRIPT ICON_PNG PAGE_OUT\n";
        return 2;
    }
    std::string page;
    std::string style;
    std::string script;
    std::string icon;
    if (!readFile(argv[1], page) || !readFile(argv[2], style) || !readFile(argv[3], script) ||
        !readFile(argv[4], icon) || page.empty() || style.empty() || script.empty() ||
        icon.empty()) {
        std::cerr << "web_page_gen: cannot read the templates\n";
        return 1;
    }
    namespace web = poroten::platform::web;
    const poroten::platform::WindowDesc main = poroten::game::form1Layout();
    const std::string pageFont =
        "body { font-family: " + web::cssFontFamily(poroten::platform::kJapaneseGothics[0]) +
        "; }\n";
    style += "\n/* The page's font, and the main window from the game's layout. */\n" + pageFont +
             ":root { --pw-client-width: " +
             web::cssPixels(poroten::platform::twipsToPixels(main.clientWidth)) + "; }\n" +
             web::styleSheet(main);
    using poroten::tools::base64;
    using poroten::platform::xmlEscaped;
    using poroten::tools::cspHash;
    if (!inlinable(style, "</style") || !inlinable(script, "</script") ||
        !fill(page, "<!--main window-->", web::windowMarkup(main)) ||
        !fill(page, "@CAPTION@", xmlEscaped(main.caption)) ||
        !fill(page, "@KEYPAD@", xmlEscaped(web::kKeypadLabel)) ||
        !fill(page, "@RETURN@", xmlEscaped(web::kReturnKey), true) ||
        !fill(page, "<!--style-->", "<style>" + style + "</style>") ||
        !fill(page, "<!--script-->", "<script>" + script + "</script>") ||
        !fill(page, "@STYLE_HASH@", cspHash(style)) ||
        !fill(page, "@SCRIPT_HASH@", cspHash(script)) ||
        !fill(page, "@ICON@",
              "data:image/png;base64," +
                  base64(reinterpret_cast<const std::uint8_t*>(icon.data()), icon.size()))) {
        return 1;
    }
    if (!writeFile(argv[5], page)) {
        std::cerr << "web_page_gen: cannot write the page\n";
        return 1;
    }
    return 0;
}
