#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kelto {

// The program's failures: a number, the source that raised it and a description.
// Nothing catches these below the one top-level handler, which shows them and ends.
class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(std::int32_t number, std::u16string source, std::u16string description)
      : std::runtime_error("run-time error " + std::to_string(number)),
        number_(number),
        source_(std::move(source)),
        description_(std::move(description)) {}

  std::int32_t Number() const { return number_; }
  const std::u16string& Source() const { return source_; }
  const std::u16string& Description() const { return description_; }

 private:
  std::int32_t number_;
  std::u16string source_;
  std::u16string description_;
};

// Raised by StartLink when the library refuses the link.
inline constexpr std::int32_t kErrorLinkRefused = 10001;
inline constexpr char16_t kLinkRefusedDescription[] = u"Failed to initialize DDE layer";

}  // namespace kelto
