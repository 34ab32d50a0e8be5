#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

namespace kelto {

// The program's failures: a number, the source that raised it and a description,
// with a plain line for the user of what it means and what to do. Nothing catches
// these below the one top-level handler, which shows them and ends the program.
class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(std::int32_t number, std::u16string source, std::u16string description,
               std::u16string advice = u"Kelto will close.")
      : std::runtime_error("Kelto run-time error"),
        number_(number),
        source_(std::move(source)),
        description_(std::move(description)),
        advice_(std::move(advice)) {}

  std::int32_t Number() const { return number_; }
  const std::u16string& Source() const { return source_; }
  const std::u16string& Description() const { return description_; }
  const std::u16string& Advice() const { return advice_; }

 private:
  std::int32_t number_;
  std::u16string source_;
  std::u16string description_;
  std::u16string advice_;
};

inline constexpr std::int32_t kErrorOutOfMemory = 7;
inline constexpr std::int32_t kErrorInternal = 51;
inline constexpr std::int32_t kErrorLibraryNotFound = 53;
inline constexpr std::int32_t kErrorEntryPointNotFound = 453;
// Raised by StartLink when the library refuses the link.
inline constexpr std::int32_t kErrorLinkRefused = 10001;
inline constexpr char16_t kLinkRefusedDescription[] = u"Failed to initialize DDE layer";

// Any failure as the run-time error the user is shown: itself, or, for any other
// exception, "Out of memory" or an internal error, raised by `source`.
RunTimeError AsRunTimeError(std::exception_ptr failure, const std::u16string& source);

// "Run-time error N: description", an empty line, and the advice.
std::u16string RunTimeErrorText(const RunTimeError& error);

// A number as decimal digits, with a minus sign when negative.
std::u16string DecimalText(std::int64_t number);

}  // namespace kelto
