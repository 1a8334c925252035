#include "highscore/score_file.h"

#include <vector>

namespace poroten::highscore {

namespace {

// Reads 16 bits little-endian at pos; false when the bytes end before.
bool readU16(std::string_view bytes, std::size_t pos, std::uint16_t& value) {
    if (bytes.size() < pos + 2) {
        return false;
    }
    value = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[pos]) |
                                       (static_cast<unsigned char>(bytes[pos + 1]) << 8));
    return true;
}

void appendU16(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

}  // namespace

ScoreRec readScoreRec(std::string_view file) {
    ScoreRec record;
    std::uint16_t score = 0;
    std::uint16_t length = 0;
    std::uint16_t marker = 0;
    if (!readU16(file, 0, score)) {
        return record;
    }
    record.Score = static_cast<std::int16_t>(score);
    if (!readU16(file, 2, length) || file.size() < 4u + length) {
        return record;
    }
    record.Name = std::string(file.substr(4, length));
    if (readU16(file, 4u + length, marker)) {
        record.Marker = static_cast<std::int16_t>(marker);
    }
    return record;
}

std::string scoreRecBytes(const ScoreRec& record) {
    std::string out;
    out.reserve(6 + record.Name.size());
    appendU16(out, static_cast<std::uint16_t>(record.Score));
    appendU16(out, static_cast<std::uint16_t>(record.Name.size()));
    out += record.Name;
    appendU16(out, static_cast<std::uint16_t>(record.Marker));
    return out;
}

std::string writtenAtStart(std::string file, std::string_view record) {
    if (file.size() < record.size()) {
        file.resize(record.size());
    }
    file.replace(0, record.size(), record);
    return file;
}

std::string encodeName(const platform::TextCodec& codec, std::string_view utf8) {
    std::string encoded = codec.toCodePage932(utf8);
    if (encoded.size() <= kMaxNameBytes) {
        return encoded;
    }
    // Cut on a character boundary of the UTF-8 text, so no character is split
    // whatever its encoded width; the longest prefix that fits wins.
    std::vector<std::size_t> boundaries;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            boundaries.push_back(i);
        }
    }
    std::size_t low = 0;  // boundaries[low] is known to fit (an empty prefix always does)
    std::size_t high = boundaries.size();
    std::string best;
    while (low + 1 < high) {
        const std::size_t mid = (low + high) / 2;
        std::string candidate = codec.toCodePage932(utf8.substr(0, boundaries[mid]));
        if (candidate.size() <= kMaxNameBytes) {
            low = mid;
            best = std::move(candidate);
        } else {
            high = mid;
        }
    }
    return best;
}

}  // namespace poroten::highscore
