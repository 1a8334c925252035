// Where a double-byte code sits in the generated table: shared by the table's
// generator, built for the build machine, and the codec that reads it.
#pragma once

namespace poroten::platform::cp932 {

constexpr unsigned kNone = 0xFFFF;
constexpr int kFirstTrail = 0x40;
constexpr int kTrails = 0xFC - kFirstTrail + 1;
constexpr int kLeads = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

// The row of a lead byte (81-9F, E0-FC), or -1 for a byte that leads no pair.
constexpr int leadIndex(unsigned lead) {
    if (lead >= 0x81 && lead <= 0x9F) {
        return static_cast<int>(lead - 0x81);
    }
    if (lead >= 0xE0 && lead <= 0xFC) {
        return static_cast<int>(lead - 0xE0) + (0x9F - 0x81 + 1);
    }
    return -1;
}

constexpr bool isTrailByte(unsigned b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

}  // namespace poroten::platform::cp932
