#include "window/std_random.h"

#include <cmath>
#include <cstdint>

namespace kelto {

void StdUnitRandom::Reseed(double seconds) {
  // Milliseconds since midnight keep the fraction that a whole-second seed would lose.
  const double clamped = std::isfinite(seconds) ? std::fabs(seconds) : 0.0;
  engine_.seed(static_cast<std::uint32_t>(std::fmod(std::floor(clamped * 1000.0), 4294967296.0)));
}

double StdUnitRandom::Next() {
  const auto r = std::generate_canonical<double, 53>(engine_);
  // Some library versions can round up to exactly 1; the draw must stay below it.
  return r < 1.0 ? r : std::nextafter(1.0, 0.0);
}

}  // namespace kelto
