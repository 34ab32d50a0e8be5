#pragma once

#include <random>

#include "window/choice_commands.h"

namespace kelto {

// The draw's generator: a Mersenne Twister reseeded from the time of day.
class StdUnitRandom final : public UnitRandom {
 public:
  void Reseed(double seconds) override;
  double Next() override;

 private:
  std::mt19937 engine_;
};

}  // namespace kelto
