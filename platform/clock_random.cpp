#include "platform/clock_random.h"

#include <chrono>
#include <cstdint>

namespace poroten::platform {

ClockRandom::ClockRandom() {
    reseed();
}

void ClockRandom::reseed() {
    const auto now = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const std::uint64_t previous = engine_();
    std::seed_seq seeds{static_cast<std::uint32_t>(now),
                        static_cast<std::uint32_t>(now >> 32),
                        static_cast<std::uint32_t>(previous),
                        static_cast<std::uint32_t>(previous >> 32),
                        entropy_(),
                        entropy_()};
    engine_.seed(seeds);
}

// The top 53 bits as a fraction: exactly uniform and never 1.0, which the
// standard distributions do not promise for every library.
double ClockRandom::next() {
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

}  // namespace poroten::platform
