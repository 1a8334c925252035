// The score file m_score.sav: one record at offset 0, little-endian, no padding.
//   0      int16   Score
//   2      uint16  N, the name's length in bytes
//   4      N bytes the name in code page 932, no terminator
//   4 + N  int16   Marker, 2 when the record is valid
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace poroten::highscore {

constexpr const char* kScoreFileName = "m_score.sav";
constexpr std::int16_t kValidMarker = 2;
constexpr std::size_t kMaxNameBytes = 0xFFFF;
// Six fixed bytes and the longest name: nothing past it is ever read.
constexpr std::size_t kLongestRecord = 6 + kMaxNameBytes;

struct ScoreRec {
    std::int16_t Score = 0;
    std::string Name;  // code page 932 bytes, as stored
    std::int16_t Marker = 0;

    bool isValid() const { return Marker == kValidMarker; }
    bool operator==(const ScoreRec&) const = default;
};

// Reads the record at the start of the file. Whatever lies past the end of the
// bytes reads as zero, so a short or cut file gives a record that is not valid;
// a name length reaching past the end reads no name and no marker.
ScoreRec readScoreRec(std::string_view file);

// The record's 6 + N bytes. Requires Name.size() <= kMaxNameBytes.
std::string scoreRecBytes(const ScoreRec& record);

// What writing the record at offset 0 of the file leaves: the file is not
// truncated, so bytes past a shorter record stay.
std::string writtenAtStart(std::string file, std::string_view record);

// The name in code page 932, cut at a character boundary where it would not
// fit the 16-bit length field.
std::string encodeName(const platform::TextCodec& codec, std::string_view utf8);

}  // namespace poroten::highscore
