// The score file comes from disk and may be anything: reading it must never
// crash, and whatever it reads as valid must be exactly what it holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "highscore/score_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const poroten::highscore::ScoreRec record = poroten::highscore::readScoreRec(bytes);
    if (record.Name.size() + 4 > size && !record.Name.empty()) {
        std::abort();
    }
    if (record.isValid()) {
        const std::string written = poroten::highscore::scoreRecBytes(record);
        if (bytes.substr(0, written.size()) != written) {
            std::abort();
        }
    }
    return 0;
}
