#pragma once

namespace poroten::platform {

class Random {
public:
    virtual ~Random() = default;
    // Reseeds from the clock. Draws after a reseed are as independent of the
    // draws before it as those of an unseeded sequence.
    virtual void reseed() = 0;
    // Uniform in [0, 1).
    virtual double next() = 0;
};

}  // namespace poroten::platform
