#include "platform/cp932_codec.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/cp932_layout.h"
#include "platform/utf8.h"

namespace poroten::platform {

namespace {

#include "cp932_table.inc"

using cp932::isTrailByte;
using cp932::kTrails;
using cp932::leadIndex;
constexpr std::uint16_t kNone = cp932::kNone;

std::uint16_t pairAt(unsigned lead, unsigned trail) {
    const int index = leadIndex(lead);
    if (index < 0 || trail < 0x40 || trail > 0xFC) {
        return kNone;
    }
    return kPairs[index * kTrails + static_cast<int>(trail) - cp932::kFirstTrail];
}

// Character to code, the lowest code of each character unless the table
// lists another; built on first use, so start-up does not pay for it.
const std::vector<std::uint16_t>& encodeTable() {
    static const std::vector<std::uint16_t> table = [] {
        std::vector<std::uint16_t> t(0x10000, kNone);
        for (unsigned b = 0; b < 256; ++b) {
            if (kSingle[b] != kNone && t[kSingle[b]] == kNone) {
                t[kSingle[b]] = static_cast<std::uint16_t>(b);
            }
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const std::uint16_t c = pairAt(lead, trail);
                if (c != kNone && t[c] == kNone) {
                    t[c] = static_cast<std::uint16_t>((lead << 8) | trail);
                }
            }
        }
        for (unsigned i = 0; i < kEncodeFixCount; ++i) {
            t[kEncodeFixes[i][0]] = kEncodeFixes[i][1];
        }
        return t;
    }();
    return table;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Cp932Codec::toCodePage932(std::string_view utf8) const {
    const auto& table = encodeTable();
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto next = firstUtf8Character(utf8);
        // A stray byte stands for one unknown character.
        const std::size_t used = next ? next->second : 1;
        const std::uint16_t code = next && next->first < 0x10000 ? table[next->first] : kNone;
        if (code == kNone) {
            out += '?';
        } else if (code < 0x100) {
            out += static_cast<char>(code);
        } else {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        }
        utf8.remove_prefix(used);
    }
    return out;
}

std::string Cp932Codec::fromCodePage932(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (kSingle[b] != kNone) {
            appendUtf8(out, kSingle[b]);
            ++i;
            continue;
        }
        const bool pair = leadIndex(b) >= 0 && i + 1 < bytes.size() &&
                          isTrailByte(static_cast<unsigned char>(bytes[i + 1]));
        if (pair) {
            // An unassigned pair is one unknown character, as Windows reads it,
            // not a bad lead byte and a character made of its trail byte.
            const std::uint16_t c = pairAt(b, static_cast<unsigned char>(bytes[i + 1]));
            appendUtf8(out, c != kNone ? c : 0xFFFD);
            i += 2;
        } else {
            // A lead byte cut off or followed by a byte that cannot end a pair:
            // only it is bad, so the ASCII byte after it is still read as ASCII.
            appendUtf8(out, 0xFFFD);
            ++i;
        }
    }
    return out;
}

}  // namespace poroten::platform
