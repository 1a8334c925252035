// Code page 932 as Windows has it: the JIS X 0208 rows, NEC's row 13, the NEC
// and IBM extensions, the user area, half-width katakana and plain ASCII.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "adapter_factories.h"

namespace poroten::testing {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

std::string hex(const std::string& s) {
    std::string out;
    static const char* digits = "0123456789ABCDEF";
    for (const unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 0xF];
        out += ' ';
    }
    return out;
}

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

class TextCodecContract : public ::testing::Test {
protected:
    std::unique_ptr<platform::TextCodec> codec = makeAdapterCodec();
};

struct Pair {
    const char* utf8;
    std::string cp932;
};

TEST_F(TextCodecContract, CharactersMapToTheirBytesBothWays) {
    const Pair pairs[] = {
        {"～", bytes({0x81, 0x60})},  // U+FF5E, not the wave dash
        {"①", bytes({0x87, 0x40})},   // NEC row 13
        {"髙", bytes({0xFB, 0xFC})},  // IBM extension
        {"纊", bytes({0xFA, 0x5C})},  // IBM extension, second byte is "\"
        {"ⅰ", bytes({0xFA, 0x40})},
        {"￢", bytes({0x81, 0xCA})},
        {"∵", bytes({0x81, 0xE6})},
        {"ｱ", bytes({0xB1})},  // half-width katakana, one byte
        {"あ", bytes({0x82, 0xA0})},
        {"漢", bytes({0x8A, 0xBF})},
        {"\xEE\x80\x80", bytes({0xF0, 0x40})},  // U+E000, the first user-area code
        {"髙橋　ｱあA", bytes({0xFB, 0xFC, 0x8B, 0xB4, 0x81, 0x40, 0xB1, 0x82, 0xA0, 0x41})},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(hex(codec->toCodePage932(p.utf8)), hex(p.cp932)) << p.utf8;
        EXPECT_EQ(codec->fromCodePage932(p.cp932), p.utf8) << hex(p.cp932);
    }
}

TEST_F(TextCodecContract, DuplicateCodesReadAsTheSameCharacter) {
    // The NEC-selected copies of IBM characters and NEC's copies of JIS
    // symbols read back as the one character that is written out above.
    const Pair duplicates[] = {
        {"纊", bytes({0xED, 0x40})},
        {"ⅰ", bytes({0xEE, 0xEF})},
        {"￢", bytes({0xEE, 0xF9})},
        {"∵", bytes({0x87, 0x9A})},
    };
    for (const Pair& p : duplicates) {
        EXPECT_EQ(codec->fromCodePage932(p.cp932), p.utf8) << hex(p.cp932);
    }
}

TEST_F(TextCodecContract, AsciiPassesThroughUnchanged) {
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) {
        ascii.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(hex(codec->toCodePage932(ascii)), hex(ascii));
    EXPECT_EQ(hex(codec->fromCodePage932(ascii)), hex(ascii));
}

TEST_F(TextCodecContract, EachCharacterWithoutAPlaceBecomesOneQuestionMark) {
    const Pair cases[] = {
        {"😀", "?"},  // outside the BMP: one character, not two halves
        {"€", "?"},
        {"a😀b€c", "a?b?c"},
        {"😀😀", "??"},
        // Look-alikes are not swapped in: they would read back as another character.
        {"¥", "?"},
        {"é", "?"},
        // Invisible characters still take their place.
        {"\xE2\x80\x8B", "?"},  // U+200B
        {"\xEF\xBB\xBF", "?"},  // U+FEFF
        {"\xEF\xBF\xBD", "?"},  // U+FFFD
        {"\xFF", "?"},          // not UTF-8 at all
        {"あ\xF0\x9F\x98\x80あ", bytes({0x82, 0xA0}) + "?" + bytes({0x82, 0xA0})},
    };
    for (const Pair& p : cases) {
        EXPECT_EQ(hex(codec->toCodePage932(p.utf8)), hex(p.cp932)) << p.utf8;
    }
}

TEST_F(TextCodecContract, InvalidBytesReadAsReplacementCharacters) {
    const Pair cases[] = {
        {"\xEF\xBF\xBD", bytes({0x80})},
        {"\xEF\xBF\xBD", bytes({0xA0})},
        {"\xEF\xBF\xBD", bytes({0xFD})},
        {"\xEF\xBF\xBD", bytes({0xFE})},
        {"\xEF\xBF\xBD", bytes({0xFF})},
        {"A\xEF\xBF\xBD", bytes({0x41, 0x81})},  // cut after a lead byte
        // A stray lead byte does not swallow the ASCII byte after it.
        {"\xEF\xBF\xBD ", bytes({0x81, 0x20})},
        {"\xEF\xBF\xBD\n", bytes({0x9F, 0x0A})},
    };
    for (const Pair& p : cases) {
        EXPECT_EQ(codec->fromCodePage932(p.cp932), p.utf8) << hex(p.cp932);
    }
    // An unassigned pair is one unknown character, lead and trail together,
    // as Windows reads it; what follows it is read as it is.
    const Pair unassigned[] = {
        {"\xEF\xBF\xBD", bytes({0x85, 0x40})},
        {"\xEF\xBF\xBD", bytes({0xEF, 0x40})},
        {"\xEF\xBF\xBD\xEF\xBF\xBD", bytes({0x85, 0x85, 0x85, 0x5C})},
        {"\xEF\xBF\xBD"
         "A",
         bytes({0xEB, 0xFC, 0x41})},
    };
    for (const Pair& p : unassigned) {
        EXPECT_EQ(hex(codec->fromCodePage932(p.cp932)), hex(p.utf8)) << hex(p.cp932);
    }
    int unassignedPairs = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if ((lead >= 0xA0 && lead <= 0xDF) || trail == 0x7F) {
                continue;
            }
            if (codec->fromCodePage932(bytes({lead, trail})) == kReplacement) {
                ++unassignedPairs;
            }
        }
    }
    EXPECT_EQ(unassignedPairs, 60 * 188 - 7724 - 1880);  // 60 lead bytes, 188 trail bytes
}

TEST_F(TextCodecContract, JisCharactersUnderTheirOtherMappingKeepTheirCodes) {
    // Linux input methods and browsers type these under JIS X 0208's own
    // Unicode mapping; they are the same characters as Windows' at these
    // codes, so a name keeps them, and reads back as Windows shows it.
    struct Alternate {
        const char* typed;
        std::string cp932;
        const char* read;
    };
    const Alternate alternates[] = {
        {"〜", bytes({0x81, 0x60}), "～"},  // U+301C wave dash, read as U+FF5E
        {"‖", bytes({0x81, 0x61}), "∥"},   {"−", bytes({0x81, 0x7C}), "－"},
        {"—", bytes({0x81, 0x5C}), "―"},   {"¢", bytes({0x81, 0x91}), "￠"},
        {"£", bytes({0x81, 0x92}), "￡"},  {"¬", bytes({0x81, 0xCA}), "￢"},
    };
    for (const Alternate& a : alternates) {
        EXPECT_EQ(hex(codec->toCodePage932(a.typed)), hex(a.cp932)) << a.typed;
        EXPECT_EQ(codec->fromCodePage932(a.cp932), a.read) << hex(a.cp932);
    }
    EXPECT_EQ(hex(codec->toCodePage932("山田〜")),
              hex(bytes({0x8E, 0x52, 0x93, 0x63, 0x81, 0x60})));
}

TEST_F(TextCodecContract, EveryDefinedCodeRoundTrips) {
    int singles = 0;
    for (int b = 0; b < 0x100; ++b) {
        const std::string code(1, static_cast<char>(b));
        const std::string text = codec->fromCodePage932(code);
        if (text != kReplacement) {
            ++singles;
            EXPECT_EQ(hex(codec->toCodePage932(text)), hex(code));
        }
    }
    int doubles = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) {
            continue;
        }
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const std::string code = bytes({lead, trail});
            const std::string text = codec->fromCodePage932(code);
            if (text.find(kReplacement) != std::string::npos) {
                continue;
            }
            ++doubles;
            // Duplicates may be written back under their other code, but
            // always as the same character.
            const std::string written = codec->toCodePage932(text);
            ASSERT_EQ(codec->fromCodePage932(written), text) << hex(code);
            ASSERT_EQ(written.size(), 2u) << hex(code);
        }
    }
    // ASCII and 63 half-width katakana; 7,724 two-byte characters and the
    // 1,880 codes of the user area.
    EXPECT_EQ(singles, 128 + 63);
    EXPECT_EQ(doubles, 7724 + 1880);

    const char* samples[] = {"髙橋①ｱｲｳ～あいう漢字ABC123", "ﾎﾟﾛﾃﾝ　ポロテン", "\\~"};
    for (const char* text : samples) {
        EXPECT_EQ(codec->fromCodePage932(codec->toCodePage932(text)), text);
    }
}

TEST_F(TextCodecContract, EmptyAndNulCharactersSurvive) {
    EXPECT_EQ(codec->toCodePage932(""), "");
    EXPECT_EQ(codec->fromCodePage932(""), "");
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(hex(codec->toCodePage932(withNul)), hex(withNul));
    EXPECT_EQ(hex(codec->fromCodePage932(withNul)), hex(withNul));
}

}  // namespace
}  // namespace poroten::testing
