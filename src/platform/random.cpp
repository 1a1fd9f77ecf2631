#include "platform/random.h"

#include <random>

int DrawRandom(std::uint32_t seed, int lo, int hi) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> pick(lo, hi);
    return pick(generator);
}
