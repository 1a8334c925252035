// The edges of the shared UTF-8 reader and code page 932 codec, where a rule
// off by one byte would still pass every ordinary name.
#include <gtest/gtest.h>

#include <string>

#include "platform/cp932_codec.h"
#include "platform/utf8.h"

namespace poroten::testing {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(Utf8Reader, TakesNoStrayContinuationByteAndNoSurrogateForACharacter) {
    using platform::firstUtf8Character;
    EXPECT_EQ(firstUtf8Character("\x7F")->first, U'\x7F');
    EXPECT_FALSE(firstUtf8Character("\x80"));
    EXPECT_FALSE(firstUtf8Character("\xBF"));
    EXPECT_EQ(firstUtf8Character("\xED\x9F\xBF")->first, U'\xD7FF');
    EXPECT_FALSE(firstUtf8Character("\xED\xA0\x80"));  // U+D800
    EXPECT_FALSE(firstUtf8Character("\xED\xBF\xBF"));  // U+DFFF
    EXPECT_EQ(firstUtf8Character("\xEE\x80\x80")->first, U'\xE000');
}

TEST(Cp932Decoder, ReadsALeadByteAloneWhenTheNextByteCannotEndAPair) {
    const platform::Cp932Codec codec;
    EXPECT_EQ(codec.fromCodePage932("\x82\x3F"), kReplacement + "?");
    EXPECT_EQ(codec.fromCodePage932("\x82\xFD"), kReplacement + kReplacement);
    EXPECT_EQ(codec.fromCodePage932("\x82\x40"), kReplacement);  // a pair, unassigned
    EXPECT_EQ(codec.fromCodePage932("\x88\x9F"), "亜");
    EXPECT_EQ(codec.fromCodePage932("\x88\xFC"), "蔭");  // the last trail byte
}

TEST(Cp932Decoder, ReadsTheLastLeadByteRow) {
    const platform::Cp932Codec codec;
    EXPECT_EQ(codec.fromCodePage932("\xFC\x40\xFC\x4B"), "髜黑");
    EXPECT_EQ(codec.toCodePage932("髜黑"), "\xFC\x40\xFC\x4B");
}

TEST(Cp932Encoder, ACharacterBeyondTheBasicPlaneHasNoCode) {
    const platform::Cp932Codec codec;
    EXPECT_EQ(codec.toCodePage932("\xF0\x90\x80\x80"), "?");  // U+10000
    EXPECT_EQ(codec.toCodePage932("\xEF\xBF\xBF" "A"), "?A");  // U+FFFF
}

}  // namespace
}  // namespace poroten::testing
