// Pseudo-random draws, each from a generator seeded afresh (the program seeds
// with the millisecond tick count before a draw).
#pragma once

#include <cstdint>

// A number from lo to hi inclusive (lo <= hi), the same for the same seed.
int DrawRandom(std::uint32_t seed, int lo, int hi);
