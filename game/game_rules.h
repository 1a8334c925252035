// The game's clock and how its rows grow.
#pragma once

#include <chrono>
#include <cstdint>

namespace poroten::game {

// Both countdowns tick once a second.
constexpr std::chrono::milliseconds kTick{1000};
// Seconds a row shows, and seconds to type it back, whatever its length.
constexpr long kMemorizeSeconds = 3;
constexpr long kAnswerSeconds = 5;
// A game starts with three digits (cells 0 to 2) and gains one every ten points.
constexpr std::int16_t kFirstLastCell = 2;
constexpr long kPointsPerNewCell = 10;

}  // namespace poroten::game
