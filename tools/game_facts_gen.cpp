// Built for the build machine: writes what the game shows and keeps, read
// from the game itself, as JSON for the test suites that are not C++ (the
// real program on a display, under Wine, in browsers), so that each fact is
// stated once, in the product. The same file, committed, is what the facts
// must be (tests/golden/): a change to a fact is a change to that file.
//   game_facts_gen OUT
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "game/game_rules.h"
#include "game/layout.h"
#include "highscore/high_score_store.h"
#include "highscore/name_window.h"
#include "highscore/score_file.h"
#include "menu/menu_bar.h"
#include "menu/menu_commands.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/texts.h"
#include "platform/web/json.h"
#include "platform/window_rules.h"

namespace {

using poroten::platform::Colour;
using poroten::platform::web::JsonWriter;
namespace platform = poroten::platform;

void rgb(JsonWriter& json, Colour colour) {
    json.beginArray()
        .value(platform::redOf(colour))
        .value(platform::greenOf(colour))
        .value(platform::blueOf(colour))
        .endArray();
}

void rect(JsonWriter& json, int left, int top, int width, int height) {
    json.beginArray().value(left).value(top).value(width).value(height).endArray();
}

std::string hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += out.empty() ? "" : " ";
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

// The end of the string that starts at json[i], past its closing quote.
std::size_t pastString(std::string_view json, std::size_t i) {
    for (++i; json[i] != '"'; ++i) {
        i += json[i] == '\\' ? 1 : 0;
    }
    return i + 1;
}

// The writer's compact JSON one member or element a line, so that a change
// to the facts reads as a diff of the facts it touches; an array of plain
// values (a colour, a rectangle) and an empty one stay on one line.
std::string indented(std::string_view json) {
    std::string out;
    std::string margin = "\n";
    for (std::size_t i = 0; i < json.size();) {
        const char c = json[i];
        if (c == '"') {
            const std::size_t end = pastString(json, i);
            out += json.substr(i, end - i);
            i = end;
            continue;
        }
        ++i;
        if (c == '[' || c == '{') {
            std::size_t end = i;
            while (json[end] != ']' && json[end] != '}' && json[end] != '[' && json[end] != '{') {
                end = json[end] == '"' ? pastString(json, end) : end + 1;
            }
            if ((c == '[' && json[end] == ']') || (c == '{' && end == i && json[end] == '}')) {
                out += c;
                while (i <= end) {
                    const std::size_t next = json[i] == '"' ? pastString(json, i) : i + 1;
                    out += json[i] == ',' ? ", " : json.substr(i, next - i);
                    i = next;
                }
                continue;
            }
            margin += "  ";
            out += c + margin;
        } else if (c == ']' || c == '}') {
            margin.resize(margin.size() - 2);
            out += margin + c;
        } else if (c == ',') {
            out += c + margin;
        } else if (c == ':') {
            out += ": ";
        } else {
            out += c;
        }
    }
    return out + "\n";
}

void menu(JsonWriter& json, const std::vector<platform::MenuDesc>& entries) {
    json.beginArray();
    for (const auto& entry : entries) {
        json.beginObject().key("id").value(entry.id).key("name").value(entry.name);
        json.key("text").value(entry.text);
        json.key("items");
        menu(json, entry.items);
        json.endObject();
    }
    json.endArray();
}

// A window in twips, as described, and in pixels at 96 dots per inch, as drawn.
void window(JsonWriter& json, const platform::WindowDesc& w) {
    json.beginObject().key("caption").value(w.caption);
    json.key("frame")
        .value(w.frame == platform::Frame::FixedDialog ? "fixedDialog" : "fixedSingle")
        .key("icon")
        .value(w.icon)
        .key("taskbarButton")
        .value(w.taskbarButton);
    json.key("client").beginArray().value(w.clientWidth).value(w.clientHeight).endArray();
    json.key("clientPixels")
        .beginArray()
        .value(platform::twipsToPixels(w.clientWidth))
        .value(platform::twipsToPixels(w.clientHeight))
        .endArray();
    json.key("back");
    w.backColour ? rgb(json, *w.backColour) : void(json.null());
    json.key("position");
    w.position ? void(json.beginArray().value(w.position->left).value(w.position->top).endArray())
               : void(json.null());
    json.key("focus");
    w.focusControl ? void(json.value(*w.focusControl)) : void(json.null());
    json.key("menu");
    menu(json, w.menu);
    json.key("controls").beginObject();
    for (const auto& c : w.controls) {
        json.key(c.name).beginObject();
        json.key("id")
            .value(c.id)
            .key("kind")
            .value(platform::nameOf(c.kind))
            .key("text")
            .value(c.text);
        json.key("twips");
        rect(json, c.bounds.left, c.bounds.top, c.bounds.width, c.bounds.height);
        const platform::PixelRect p = platform::toPixels(c.bounds);
        json.key("pixels");
        rect(json, p.left, p.top, p.width, p.height);
        json.key("back");
        c.backColour ? rgb(json, *c.backColour) : void(json.null());
        json.key("textColour");
        c.textColour ? rgb(json, *c.textColour) : void(json.null());
        json.key("face").value(c.font.face).key("points").value(c.font.points);
        json.key("align").value(platform::nameOf(c.align)).key("tab").value(c.tabIndex);
        json.key("maxLength").value(c.maxLength);
        json.endObject();
    }
    json.endObject().endObject();
}

std::string facts() {
    namespace game = poroten::game;
    namespace menu = poroten::menu;
    namespace highscore = poroten::highscore;
    JsonWriter json;
    json.beginObject();
    json.key("texts")
        .beginObject()
        .key("pressReturn")
        .value(game::text::PressReturn)
        .key("memorize")
        .value(game::text::Memorize)
        .key("start")
        .value(game::text::Start)
        .key("wrongKey")
        .value(game::text::WrongKey)
        .key("timeUp")
        .value(game::text::TimeUp)
        .key("saveFailed")
        .value(highscore::kSaveFailed)
        .key("savingBeforeEnding")
        .value(platform::win32::kSavingBeforeEnding)
        .endObject();
    json.key("boxes")
        .beginObject()
        .key("untitled")
        .value(platform::kApplicationTitle)
        .key("highScoreTitle")
        .value(menu::kHighScoreTitle)
        .key("highScoreHeading")
        .value(menu::kHighScoreHeading)
        .key("afterName")
        .value(menu::kAfterName)
        .key("afterScore")
        .value(menu::kAfterScore)
        .key("aboutTitle")
        .value(menu::kAboutTitle)
        .key("aboutText")
        .value(menu::aboutText());
    json.key("highScoreTexts").beginArray();
    for (const auto& [name, score] : {std::pair<const char*, std::int16_t>{"A", 12}, {"", 0}}) {
        json.beginObject().key("name").value(name).key("score").value(score);
        json.key("text").value(menu::highScoreText(name, score)).endObject();
    }
    json.endArray().endObject();
    namespace web = poroten::platform::web;
    json.key("page")
        .beginObject()
        .key("closeBox")
        .value(web::kCloseBox)
        .key("closeLabel")
        .value(web::kCloseLabel)
        .key("boxOk")
        .value(web::kBoxOk)
        .key("keypadLabel")
        .value(web::kKeypadLabel)
        .key("returnKey")
        .value(web::kReturnKey)
        .key("ended")
        .value(web::kEnded)
        .key("playAgain")
        .value(web::kPlayAgain)
        .endObject();
    json.key("colours").beginObject();
    for (const auto& [name, colour] : {std::pair{"green", game::colour::Green},
                                       {"blue", game::colour::Blue},
                                       {"cyan", game::colour::Cyan},
                                       {"teal", game::colour::Teal},
                                       {"cellAtRest", game::colour::CellAtRest},
                                       {"cellNewDigit", game::colour::CellNewDigit},
                                       {"cellAnswered", game::colour::CellAnswered}}) {
        json.key(name);
        rgb(json, colour);
    }
    json.endObject();
    json.key("timing")
        .beginObject()
        .key("tickMs")
        .value(static_cast<long long>(game::kTick.count()))
        .key("memorizeSeconds")
        .value(game::kMemorizeSeconds)
        .key("answerSeconds")
        .value(game::kAnswerSeconds)
        .endObject();
    json.key("cells")
        .beginObject()
        .key("count")
        .value(game::kCellCount)
        .key("first")
        .value(game::kFirstLastCell + 1)
        .key("pointsPerNewCell")
        .value(game::kPointsPerNewCell)
        .endObject();
    json.key("record")
        .beginObject()
        .key("fileName")
        .value(highscore::kScoreFileName)
        .key("marker")
        .value(highscore::kValidMarker)
        .key("maxNameBytes")
        .value(static_cast<long long>(highscore::kMaxNameBytes))
        .key("dataFolder")
        .value(platform::kApplicationTitle)
        .key("leftoverAgeSeconds")
        .value(static_cast<long long>(platform::kLeftoverAge.count()));
    // Records as the file holds them, so that a change to the layout shows here.
    json.key("examples").beginArray();
    for (const auto& [score, name] :
         {std::pair<std::int16_t, const char*>{12, "A"}, {-1, ""}, {300, "Ann"}}) {
        const highscore::ScoreRec record{
            .Score = score, .Name = name, .Marker = highscore::kValidMarker};
        json.beginObject().key("score").value(record.Score).key("name").value(record.Name);
        json.key("bytes").value(hex(highscore::scoreRecBytes(record))).endObject();
    }
    json.endArray().endObject();
    json.key("windows").beginObject();
    for (const platform::WindowDesc& w : {game::form1Layout(), highscore::dialogLayout()}) {
        json.key(w.name);
        window(json, w);
    }
    json.endObject();
    json.endObject();
    return indented(json.text());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: game_facts_gen OUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << facts();
    out.close();
    if (!out) {
        std::cerr << "game_facts_gen: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
