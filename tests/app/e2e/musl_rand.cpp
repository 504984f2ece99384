// musl_rand.cpp -- musl's rand and srand, preloaded (LD_PRELOAD) into a Linux program so that it
// draws the numbers the browser build draws: the same seed then lays out the same world. The
// game's own C library stays glibc's; only the browser test preloads this.
#include <cstdint>

namespace {

// musl's generator: a 64-bit linear congruence whose top 31 bits are each result.
constexpr std::uint64_t kMultiplier = 6364136223846793005ULL;
constexpr int kResultShift = 33;

std::uint64_t state = 0;

}  // namespace

extern "C" {

void srand(unsigned seed) {
    state = seed - 1;
}

int rand() {
    state = kMultiplier * state + 1;
    return static_cast<int>(state >> kResultShift);
}

}  // extern "C"
