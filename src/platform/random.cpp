#include "platform/random.h"

unsigned EngineRandom::below(unsigned n) {
  if (n == 0) return 0;
  return std::uniform_int_distribution<unsigned>(0, n - 1)(engine_);
}
