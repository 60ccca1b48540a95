#include "runtime/Random.h"

#include <random>

#include "runtime/Clock.h"

namespace rt {

namespace {
std::mt19937_64& Engine() {
  static std::mt19937_64 engine(12345);
  return engine;
}
}  // namespace

float Rnd() {
  // 24 random bits give every float in [0, 1) on an even grid, never 1.0.
  return static_cast<float>(Engine()() >> 40) / static_cast<float>(1 << 24);
}

void Randomize() {
  SeedRandom(static_cast<uint64_t>(CurrentClock().SecondsSinceMidnight() * 1000.0) ^
             static_cast<uint64_t>(CurrentClock().Today().toJulianDay()) << 32);
}

void SeedRandom(uint64_t seed) { Engine().seed(seed); }

}  // namespace rt
