#pragma once

#include <random>

#include "platform/random.h"

namespace poroten::platform {

// The standard Mersenne Twister. Reseeding mixes a nanosecond clock with fresh
// entropy and the generator's own state, so back-to-back reseeds within one
// clock tick still give independent, uniform draws.
class ClockRandom : public Random {
public:
    ClockRandom();
    void reseed() override;
    double next() override;

private:
    std::random_device entropy_;
    std::mt19937_64 engine_;
};

}  // namespace poroten::platform
