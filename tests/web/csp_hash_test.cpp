// The hashes the page generator writes into the page's policy: a wrong one
// leaves the page unstyled and its script refused, so the digest across
// SHA-256's padding cases and every tail of base64 are checked against
// published values.
#include "tools/csp_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace poroten::tools {
namespace {

std::string digest(const std::string& text) {
    const auto d = sha256(text);
    return base64(d.data(), d.size());
}

TEST(CspHash, Sha256MeetsTheStandardVectorsAcrossEveryPaddingCase) {
    // FIPS 180-2's examples: empty, one block, a 56-byte message whose
    // length needs a second block, and a million bytes.
    EXPECT_EQ(digest(""), "47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=");
    EXPECT_EQ(digest("abc"), "ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0=");
    EXPECT_EQ(digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "JI1qYdIGOLjlwCaTDD5gOaM85Flk/yFn9uzt1BnbBsE=");
    EXPECT_EQ(digest(std::string(1000000, 'a')), "zcduXJkU+5KBocfihNc+Z/GAmkiklyAOBG05zMcRLNA=");
    // The last length that pads within its block, the first that cannot, a whole block.
    EXPECT_EQ(digest(std::string(55, 'a')), "n0OQ+NMMLdkuyfCVtl4rmumwqSWlJY4kHJ8ekQ9zQxg=");
    EXPECT_EQ(digest(std::string(63, 'a')), "fT50oF19sVvOStnsBljqmOPwbu7PFrTG//LaRX3cLzQ=");
    EXPECT_EQ(digest(std::string(64, 'a')), "/+BU/nrgy23GXDr5th1SCfQ5hR20PQulmXM33xVGaOs=");
}

TEST(CspHash, TheSourceIsTheBase64DigestOfTheTextsUtf8Bytes) {
    const unsigned char bytes[] = {0xff, 0xfe, 0xfd};
    EXPECT_EQ(base64(bytes, 1), "/w==");
    EXPECT_EQ(base64(bytes, 2), "//4=");
    EXPECT_EQ(base64(bytes, 3), "//79");
    // The Content Security Policy's own example, and a style with the game's font.
    EXPECT_EQ(cspHash("alert('Hello, world.');"),
              "'sha256-qznLcsROx4GACP2dm0UCKCzCG+HiZ1guq6ZZDob/Tng='");
    EXPECT_EQ(cspHash("body { font: 9pt \"ＭＳ Ｐゴシック\"; }"),
              "'sha256-HPWNeInjFLFYaGxZpzEWtqsiVTN96bUU1+kDIByYODw='");
}

}  // namespace
}  // namespace poroten::tools
