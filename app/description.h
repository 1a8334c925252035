// The game described once, in English and Japanese, with its own numbers:
// --help says it, and the build writes it into the .deb, the manual page, the
// AppStream metainfo and the Windows read-me files (tools/description_gen).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace poroten::app {

enum class Language { English, Japanese };
// Where the record is kept differs between them.
enum class System { Linux, Windows };

struct KeyUse {
    std::string keys;
    std::string use;
};

// The game's name as its window shows it.
std::string title();
// A phrase, not a sentence: what the game is.
std::string summary(Language language);
// How a game goes: what shows for how long, how rows grow and a game ends.
std::string howToPlay(Language language);
// The keys and what each does, the menus' by their access keys.
std::vector<KeyUse> keys(Language language);
// Where the best score is kept.
std::string recordPlace(Language language, System system);

// A count in words, as the description gives the game's numbers: "three",
// "三"; in figures from 100 on.
std::string numberWord(long n, Language language);

// A paragraph as plain text: English wrapped at width columns, Japanese one
// sentence to a line. Each line ends in a line feed.
std::string plainParagraph(std::string_view text, Language language, std::size_t width = 78);
// The keys as an indented two-column table.
std::string plainKeys(const std::vector<KeyUse>& keys);

// What `poroten --help` prints.
std::string helpText();

}  // namespace poroten::app
