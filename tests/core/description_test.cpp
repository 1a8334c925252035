// The game's description: its numbers in words and its plain-text layout,
// which --help and the Windows read-me files print as they are.
#include <gtest/gtest.h>

#include <sstream>

#include "app/description.h"

namespace poroten::testing {
namespace {

using app::Language;

TEST(Description, NumbersReadAsWordsInBothLanguages) {
    const struct {
        long n;
        const char* english;
        const char* japanese;
    } cases[] = {{0, "zero", "零"},
                 {1, "one", "一"},
                 {3, "three", "三"},
                 {10, "ten", "十"},
                 {12, "twelve", "十二"},
                 {20, "twenty", "二十"},
                 {47, "forty-seven", "四十七"},
                 {100, "100", "100"}};
    for (const auto& c : cases) {
        EXPECT_EQ(app::numberWord(c.n, Language::English), c.english);
        EXPECT_EQ(app::numberWord(c.n, Language::Japanese), c.japanese);
    }
}

// Every word kept, in order; English lines within the width, Japanese one
// sentence to a line.
TEST(Description, PlainParagraphsKeepEveryWordWithinTheirLines) {
    for (const app::System system : {app::System::Linux, app::System::Windows}) {
        const std::string english = app::recordPlace(Language::English, system);
        std::istringstream lines(app::plainParagraph(english, Language::English, 40));
        std::string joined;
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 40u) << line;
            joined += (joined.empty() ? "" : " ") + line;
        }
        EXPECT_EQ(joined, english);
    }
    const std::string japanese = app::howToPlay(Language::Japanese);
    std::istringstream lines(app::plainParagraph(japanese, Language::Japanese));
    std::string joined;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(line.substr(line.size() - 3), "。") << line;
        joined += line;
    }
    EXPECT_EQ(joined, japanese);
}

}  // namespace
}  // namespace poroten::testing
