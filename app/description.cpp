#include "app/description.h"

#include "game/game_rules.h"
#include "game/layout.h"
#include "highscore/score_file.h"
#include "menu/menu_bar.h"
#include "platform/utf8.h"
#include "platform/texts.h"

namespace poroten::app {

namespace {

std::string english(long n) {
    static constexpr const char* ones[] = {
        "zero",     "one",     "two",     "three",     "four",     "five",    "six",
        "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
        "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static constexpr const char* tens[] = {"",      "",      "twenty",  "thirty", "forty",
                                           "fifty", "sixty", "seventy", "eighty", "ninety"};
    if (n < 0 || n > 99) {
        return std::to_string(n);
    }
    if (n < 20) {
        return ones[n];
    }
    return std::string(tens[n / 10]) + (n % 10 ? std::string("-") + ones[n % 10] : "");
}

// "three seconds", "one digit".
std::string count(long n, std::string_view unit) {
    return english(n) + " " + std::string(unit) + (n == 1 ? "" : "s");
}

std::string japanese(long n) {
    static constexpr const char* digits[] = {"",   "一", "二", "三", "四",
                                             "五", "六", "七", "八", "九"};
    if (n < 0 || n > 99) {
        return std::to_string(n);
    }
    if (n == 0) {
        return "零";
    }
    std::string out;
    if (n >= 10) {
        out += std::string(n >= 20 ? digits[n / 10] : "") + "十";
    }
    return out + digits[n % 10];
}

// A menu entry's text without its access key's mark, "ファイル(&F)" -> "ファイル";
// the key, F, to key when given.
std::string entryName(std::string_view text, char* key = nullptr) {
    std::string name(text);
    const auto at = name.find('&');
    if (at == std::string::npos || at + 1 >= name.size()) {
        return name;
    }
    if (key) {
        *key = name[at + 1];
    }
    if (at > 0 && name[at - 1] == '(' && at + 2 < name.size() && name[at + 2] == ')') {
        return name.erase(at - 1, 4);
    }
    return name.erase(at, 1);
}

// Columns on a terminal: two for a wide character (kana, kanji, full-width
// forms), one for the half-width forms and anything else.
std::size_t columns(std::string_view text) {
    std::size_t n = 0;
    while (const auto c = platform::firstUtf8Character(text)) {
        const char32_t cp = c->first;
        n += cp >= 0x1100 && !(cp >= 0xFF61 && cp <= 0xFFDC) && !(cp >= 0xFFE8 && cp <= 0xFFEE) ? 2
                                                                                                : 1;
        text.remove_prefix(c->second);
    }
    return n;
}

constexpr const char* kProgram = "poroten";

}  // namespace

std::string numberWord(long n, Language language) {
    return language == Language::English ? english(n) : japanese(n);
}

std::string title() {
    return game::text::Title;
}

std::string summary(Language language) {
    return language == Language::English ? "digit memory game with a Japanese interface"
                                         : "数字を覚えて、時間内に打ち込むゲーム";
}

std::string howToPlay(Language language) {
    using namespace game;
    const long first = kFirstLastCell + 1;
    if (language == Language::English) {
        return "A row of random digits shows for " + count(kMemorizeSeconds, "second") +
               " and is blanked; type it back, left to right, within " +
               count(kAnswerSeconds, "second") + ". Enter starts a game with " +
               count(first, "digit") + ". Each row scores a point, and a digit is added every " +
               (kPointsPerNewCell == 1 ? "point" : count(kPointsPerNewCell, "point")) + ", up to " +
               english(kCellCount) +
               "; a wrong key or the timeout ends the game. A new best score asks for your name.";
    }
    return "数字の列が" + japanese(kMemorizeSeconds) + "秒間表示されて消えます。" + "左から順に、" +
           japanese(kAnswerSeconds) + "秒以内に打ち込んでください。" +
           "リターンキー（Enter）でゲームが始まり、最初は" + japanese(first) + "桁です。" +
           "一列そろうごとに一点、" + japanese(kPointsPerNewCell) + "点ごとに一桁増えます" +
           "（最大" + japanese(kCellCount) + "桁）。" +
           "違うキーを押すか、時間切れになるとゲーム終了です。" +
           "最高得点を出すと名前を聞かれます。";
}

std::vector<KeyUse> keys(Language language) {
    const bool en = language == Language::English;
    std::vector<KeyUse> out{
        {"Enter", en ? "start a game" : "ゲームを始める"},
        {en ? "0-9" : "0～9", en ? "answer (main row, keypad or full-width digits)"
                                 : "答える（テンキーでも、全角数字でも）"},
    };
    for (const platform::MenuDesc& entry : menu::menuBar()) {
        char key = '?';
        const std::string name = entryName(entry.text, &key);
        std::string use = en ? menu::englishName(entry.id) : name;
        for (std::size_t i = 0; i < entry.items.size(); ++i) {
            use += (i == 0 ? (en ? ": " : "：") : (en ? ", " : "、")) +
                   (en ? menu::englishName(entry.items[i].id) : entryName(entry.items[i].text));
        }
        out.push_back({std::string("Alt+") + key, use});
    }
    return out;
}

std::string recordPlace(Language language, System system) {
    const std::string file = highscore::kScoreFileName;
    const std::string folder = platform::kApplicationTitle;
    const std::string exe = std::string(kProgram) + ".exe";
    if (system == System::Windows) {
        const std::string appData = "%APPDATA%\\" + folder + "\\" + file;
        return language == Language::English
                   ? "The best score and its holder's name are kept in " + file + ", both beside " +
                         exe + " and in " + appData +
                         ", so a new version unzipped into another folder finds your record."
                   : "最高得点と名前は " + exe + " と同じフォルダーの " + file + " と " + appData +
                         " の両方に保存されます。" +
                         "別のフォルダーに展開した新しい版でも、記録はそのまま引き継がれます。";
    }
    const std::string data = "~/.local/share/" + folder + "/";
    return language == Language::English
               ? "The best score and its holder's name are kept in " + file +
                     ", both beside the program (not for an installed copy) and in " + data +
                     "; the better of the two counts."
               : "最高得点と名前は、プログラムと同じフォルダー（インストールしたものを除く）と " +
                     data + " の " + file + " の両方に保存され、よいほうが使われます。";
}

std::string plainParagraph(std::string_view text, Language language, std::size_t width) {
    std::string out;
    if (language == Language::Japanese) {
        const std::string_view stop = "。";
        for (std::size_t from = 0; from < text.size();) {
            auto end = text.find(stop, from);
            end = end == std::string_view::npos ? text.size() : end + stop.size();
            out += std::string(text.substr(from, end - from)) + "\n";
            from = end;
        }
        return out;
    }
    std::size_t line = 0;
    for (std::size_t from = 0; from < text.size();) {
        auto end = text.find(' ', from);
        end = end == std::string_view::npos ? text.size() : end;
        const std::string_view word = text.substr(from, end - from);
        if (line > 0 && line + 1 + columns(word) > width) {
            out += "\n";
            line = 0;
        } else if (line > 0) {
            out += " ";
            ++line;
        }
        out += word;
        line += columns(word);
        from = end + 1;
    }
    return out + "\n";
}

std::string plainKeys(const std::vector<KeyUse>& keys) {
    std::string out;
    for (const KeyUse& key : keys) {
        const std::size_t used = columns(key.keys);
        out += "  " + key.keys + std::string(used < 9 ? 9 - used : 1, ' ') + key.use + "\n";
    }
    return out;
}

std::string helpText() {
    const std::string program = kProgram;
    return "Usage: " + program + " [--help | --version]\n" + title() + ": " +
           summary(Language::English) + "\n\n" +
           plainParagraph(howToPlay(Language::English), Language::English) + "\n" +
           plainKeys(keys(Language::English)) + "\n" +
           plainParagraph(recordPlace(Language::English, System::Linux), Language::English) + "\n" +
           summary(Language::Japanese) + "です。\n\n" +
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n";
}

}  // namespace poroten::app
