// Built for the build machine: writes the page with the main window's markup
// in it and the style sheet that places it, from the game's own layout.
//   web_page_gen PAGE_TEMPLATE STYLE_TEMPLATE PAGE_OUT STYLE_OUT
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/layout.h"
#include "platform/web/window_markup.h"
#include "platform/window_rules.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: web_page_gen PAGE_TEMPLATE STYLE_TEMPLATE PAGE_OUT STYLE_OUT\n";
        return 2;
    }
    std::string page;
    std::string style;
    if (!readFile(argv[1], page) || !readFile(argv[2], style) || page.empty() || style.empty()) {
        std::cerr << "web_page_gen: cannot read the templates\n";
        return 1;
    }
    const poroten::platform::WindowDesc main = poroten::game::form1Layout();
    const std::string mark = "<!--main window-->";
    const auto at = page.find(mark);
    if (at == std::string::npos || page.find(mark, at + 1) != std::string::npos) {
        std::cerr << "web_page_gen: the page needs one " << mark << "\n";
        return 1;
    }
    page.replace(at, mark.size(), poroten::platform::web::windowMarkup(main));
    style += "\n/* The main window, from the game's layout. */\n:root { --pw-client-width: " +
             poroten::platform::web::cssPixels(poroten::platform::twipsToPixels(main.clientWidth)) +
             "; }\n" + poroten::platform::web::windowStyle(main);
    if (!writeFile(argv[3], page) || !writeFile(argv[4], style)) {
        std::cerr << "web_page_gen: cannot write the page\n";
        return 1;
    }
    return 0;
}
