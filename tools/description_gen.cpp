// Built for the build machine: writes the game's description (app/description.cpp)
// into a file handed out, in that file's format. A template's {{name}} marks
// take the parts: title, summary, play, keys (not in the metainfo) and
// record, each also as <part>_ja, and record_file; the record is Windows' in a
// read-me and Linux's elsewhere. The Debian package's description takes no
// template.
//   description_gen man|metainfo|readme TEMPLATE OUT
//   description_gen deb OUT
#include <cctype>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "app/description.h"
#include "highscore/score_file.h"
#include "platform/xml_text.h"

namespace {

using poroten::app::KeyUse;
using poroten::app::Language;
using poroten::app::System;
using poroten::platform::xmlEscaped;
namespace app = poroten::app;

std::string withoutLastNewline(std::string text) {
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

// Every line of text, led by indent.
std::string indented(const std::string& text, const std::string& indent) {
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        out += (out.empty() ? "" : "\n") + indent + line;
    }
    return out;
}

// Text as roff puts it: a backslash as \e, nothing read as a request, and
// each sentence on a line of its own, as roff expects one to end.
std::string roff(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((out.empty() || out.back() == '\n') && (c == '.' || c == '\'')) {
            out += "\\&";
        }
        if (c == '\\') {
            out += "\\e";
        } else if (c == ' ' && i > 0 && text[i - 1] == '.' && i + 1 < text.size() &&
                   std::isupper(static_cast<unsigned char>(text[i + 1]))) {
            out += '\n';
        } else {
            out += c;
        }
    }
    return out;
}

std::string roffKeys(const std::vector<KeyUse>& keys) {
    std::string out;
    for (const KeyUse& key : keys) {
        out += (out.empty() ? "" : "\n") + std::string(".TP\n.B ") + roff(key.keys) + "\n" +
               roff(key.use);
    }
    return out;
}

// A software centre shows the summary as a line of its own, capitalised.
std::string capitalised(std::string text) {
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text;
}

using Parts = std::map<std::string, std::string>;

Parts partsFor(const std::string& format) {
    const System system = format == "readme" ? System::Windows : System::Linux;
    Parts parts{{"title", app::title()}, {"record_file", poroten::highscore::kScoreFileName}};
    for (const Language language : {Language::English, Language::Japanese}) {
        const std::string suffix = language == Language::English ? "" : "_ja";
        const std::string summary = app::summary(language);
        const std::string play = app::howToPlay(language);
        const std::string record = app::recordPlace(language, system);
        const std::vector<KeyUse> keys = app::keys(language);
        if (format == "man") {
            parts["summary" + suffix] = roff(summary);
            parts["play" + suffix] = roff(play);
            parts["record" + suffix] = roff(record);
            parts["keys" + suffix] = roffKeys(keys);
        } else if (format == "metainfo") {
            // A paragraph's line breaks read as spaces, which Japanese has none of.
            const auto paragraph = [language](const std::string& text) {
                return language == Language::English
                           ? indented(app::plainParagraph(xmlEscaped(text), language, 72), "      ")
                           : "      " + xmlEscaped(text);
            };
            parts["summary" + suffix] = xmlEscaped(capitalised(summary));
            parts["play" + suffix] = paragraph(play);
            parts["record" + suffix] = paragraph(record);
        } else {
            parts["summary" + suffix] = summary;
            parts["play" + suffix] = withoutLastNewline(app::plainParagraph(play, language));
            parts["record" + suffix] = withoutLastNewline(app::plainParagraph(record, language));
            parts["keys" + suffix] = withoutLastNewline(app::plainKeys(keys));
        }
    }
    return parts;
}

bool fill(std::string& text, const Parts& parts) {
    std::string out;
    std::size_t from = 0;
    for (auto open = text.find("{{"); open != std::string::npos; open = text.find("{{", from)) {
        const auto close = text.find("}}", open);
        const auto part = close == std::string::npos
                              ? parts.end()
                              : parts.find(text.substr(open + 2, close - open - 2));
        if (part == parts.end()) {
            std::cerr << "description_gen: no such part: " << text.substr(open, 40) << "\n";
            return false;
        }
        out += text.substr(from, open - from) + part->second;
        from = close + 2;
    }
    text = out + text.substr(from);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string format = argc > 1 ? argv[1] : "";
    const bool deb = format == "deb" && argc == 3;
    if (!deb && !((format == "man" || format == "metainfo" || format == "readme") && argc == 4)) {
        std::cerr << "usage: description_gen man|metainfo|readme TEMPLATE OUT\n"
                     "       description_gen deb OUT\n";
        return 2;
    }
    std::string text;
    if (deb) {
        // The summary, then the description's paragraphs; CPack indents them.
        text = app::summary(Language::English) + "\n" +
               app::plainParagraph(app::howToPlay(Language::English), Language::English) + "\n" +
               app::plainParagraph(app::recordPlace(Language::English, System::Linux),
                                   Language::English);
    } else {
        std::ifstream in(argv[2], std::ios::binary);
        std::ostringstream read;
        read << in.rdbuf();
        text = read.str();
        if (!in || text.empty()) {
            std::cerr << "description_gen: cannot read " << argv[2] << "\n";
            return 1;
        }
        if (!fill(text, partsFor(format))) {
            return 1;
        }
    }
    const char* path = argv[argc - 1];
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "description_gen: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}
