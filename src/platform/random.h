#pragma once
// Chance as an input: the rules draw from an engine they are given, seeded
// from the clock in the program and scripted in tests.
#include <cstdint>
#include <random>

// Uniform whole numbers 0..n-1.
class Random {
 public:
  virtual ~Random() = default;
  virtual unsigned below(unsigned n) = 0;
};

class EngineRandom final : public Random {
 public:
  explicit EngineRandom(std::uint64_t seed) : engine_(seed) {}
  unsigned below(unsigned n) override;

 private:
  std::mt19937_64 engine_;
};
