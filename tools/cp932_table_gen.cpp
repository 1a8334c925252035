// Writes code page 932 as the build machine's iconv knows it (glibc, "CP932")
// into a C++ table that every build of the program reads names through.
// Built and run on the build machine, even when the program is cross-built.
#include <iconv.h>

#include "platform/cp932_layout.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using namespace poroten::platform::cp932;

// The one BMP character the bytes read as, or kNone.
unsigned decode(iconv_t cd, const unsigned char* bytes, std::size_t size) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
    std::size_t inLeft = size;
    unsigned char out[8];
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
        sizeof out - outLeft != 4) {
        return kNone;
    }
    const unsigned c = out[0] | (out[1] << 8) | (out[2] << 16) | (unsigned(out[3]) << 24);
    return c < 0x10000 ? c : kNone;
}

// The code iconv writes for the character, or kNone.
unsigned encode(iconv_t cd, unsigned c) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    unsigned char in[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8), 0, 0};
    char* inPtr = reinterpret_cast<char*>(in);
    std::size_t inLeft = 4;
    unsigned char out[8];
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        return kNone;
    }
    const std::size_t n = sizeof out - outLeft;
    if (n == 1) {
        return out[0];
    }
    if (n == 2) {
        return (out[0] << 8) | out[1];
    }
    return kNone;
}

// JIS characters that Linux input methods and browsers type under JIS X
// 0208's own Unicode mapping, where code page 932 has Microsoft's: the same
// character, so it is written as its code; it reads back as Windows reads it.
struct Alternate {
    unsigned character, code, windowsCharacter;
};
constexpr Alternate kAlternates[] = {
    {0x301C, 0x8160, 0xFF5E},  // wave dash
    {0x2016, 0x8161, 0x2225},  // double vertical line
    {0x2212, 0x817C, 0xFF0D},  // minus sign
    {0x2014, 0x815C, 0x2015},  // em dash
    {0x00A2, 0x8191, 0xFFE0},  // cent sign
    {0x00A3, 0x8192, 0xFFE1},  // pound sign
    {0x00AC, 0x81CA, 0xFFE2},  // not sign
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    iconv_t toUnicode = iconv_open("UTF-32LE", "CP932");
    iconv_t fromUnicode = iconv_open("CP932", "UTF-32LE");
    if (toUnicode == reinterpret_cast<iconv_t>(-1) ||
        fromUnicode == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "cp932_table_gen: this system's iconv has no CP932\n");
        return 1;
    }

    std::vector<unsigned> single(256), pairs(kLeads * kTrails, kNone);
    for (unsigned b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        single[b] = decode(toUnicode, &byte, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (leadIndex(lead) < 0) {
            continue;
        }
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const unsigned char code[2] = {static_cast<unsigned char>(lead),
                                           static_cast<unsigned char>(trail)};
            pairs[leadIndex(lead) * kTrails + trail - kFirstTrail] = decode(toUnicode, code, 2);
        }
    }

    // The reader inverts the table, the lowest code winning; only where iconv
    // writes another code, or nothing that reads back, is the answer listed.
    std::vector<unsigned> inverted(0x10000, kNone);
    for (unsigned b = 0; b < 256; ++b) {
        if (single[b] != kNone && inverted[single[b]] == kNone) {
            inverted[single[b]] = b;
        }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (leadIndex(lead) < 0) {
            continue;
        }
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const unsigned c = pairs[leadIndex(lead) * kTrails + trail - kFirstTrail];
            if (c != kNone && inverted[c] == kNone) {
                inverted[c] = (lead << 8) | trail;
            }
        }
    }
    std::vector<std::pair<unsigned, unsigned>> fixes;
    for (unsigned c = 0; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        unsigned code = encode(fromUnicode, c);
        if (code != kNone) {
            // Look-alikes iconv maps one way would read back as another character.
            const unsigned char bytes[2] = {static_cast<unsigned char>(code >> 8),
                                            static_cast<unsigned char>(code)};
            const unsigned back = code < 0x100 ? single[code] : decode(toUnicode, bytes, 2);
            if (back != c) {
                code = kNone;
            }
        }
        for (const Alternate& a : kAlternates) {
            if (a.character == c) {
                code = a.code;
            }
        }
        if (code != inverted[c]) {
            fixes.emplace_back(c, code);
        }
    }
    for (const Alternate& a : kAlternates) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(a.code >> 8),
                                        static_cast<unsigned char>(a.code)};
        if (decode(toUnicode, bytes, 2) != a.windowsCharacter) {
            std::fprintf(stderr, "cp932_table_gen: %X is not U+%X in this iconv\n", a.code,
                         a.windowsCharacter);
            return 1;
        }
    }

    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Generated by cp932_table_gen from this machine's iconv. Do not edit.\n");
    std::fprintf(out, "constexpr unsigned short kSingle[256] = {");
    for (unsigned b = 0; b < 256; ++b) {
        std::fprintf(out, "%s0x%X", b == 0 ? "\n" : b % 16 ? "," : ",\n", single[b]);
    }
    std::fprintf(out, "};\nconstexpr unsigned short kPairs[%d] = {", kLeads * kTrails);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        std::fprintf(out, "%s0x%X", i == 0 ? "\n" : i % 16 ? "," : ",\n", pairs[i]);
    }
    std::fprintf(out, "};\nconstexpr unsigned short kEncodeFixes[%zu][2] = {",
                 fixes.size() ? fixes.size() : 1);
    for (const auto& [c, code] : fixes) {
        std::fprintf(out, "\n{0x%X,0x%X},", c, code);
    }
    if (fixes.empty()) {
        std::fprintf(out, "{0xFFFF,0xFFFF}");
    }
    std::fprintf(out, "};\nconstexpr unsigned kEncodeFixCount = %zu;\n", fixes.size());
    std::fclose(out);
    iconv_close(toUnicode);
    iconv_close(fromUnicode);
    return 0;
}
