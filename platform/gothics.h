// The Japanese gothics a window's font falls back on, one list for every
// adapter: Qt asks for the first of them installed, the page names them all.
#pragma once

#include <string_view>

namespace poroten::platform {

// The face every text of the game's windows asks for.
inline constexpr char kJapaneseFont[] = "ＭＳ Ｐゴシック";

// Proportional gothics with Japanese glyphs, in the order they stand in for a
// face that is missing: ＭＳ Ｐゴシック by both its names, the Mac's and later
// Windows' own, then the common free ones.
inline constexpr std::string_view kJapaneseGothics[] = {
    kJapaneseFont,
    "MS PGothic",
    "Hiragino Kaku Gothic ProN",
    "Hiragino Sans",
    "Yu Gothic UI",
    "Yu Gothic",
    "Meiryo",
    "IPAPGothic",
    "Noto Sans CJK JP",
    "Noto Sans JP",
    "Source Han Sans JP",
    "VL PGothic",
    "TakaoPGothic",
    "IPAexGothic",
    "IPAGothic",
    "Droid Sans Fallback",
};

}  // namespace poroten::platform
