// What the user reads when a failure ends the program.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "link/run_time_error.h"
#include "tests/unit/fakes.h"

namespace kelto::testing {
namespace {

TEST(RunTimeErrorText, NumberAndDescriptionComeFirstThenTheAdvice) {
  const struct {
    std::exception_ptr failure;
    std::u16string text;
  } rows[] = {
      {std::make_exception_ptr(RunTimeError(53, u"Kelto", u"Can't load")),
       u"Run-time error 53: Can't load\n\nKelto will close."},
      {std::make_exception_ptr(std::bad_alloc()),
       u"Run-time error 7: Out of memory\n\nKelto will close. Close other programs, or ask the "
       u"chat client for less text, before you start it again."},
      // A text too long for a string of the build: no more memory to be had for it.
      {std::make_exception_ptr(std::length_error("basic_string::_M_create")),
       u"Run-time error 7: Out of memory\n\nKelto will close. Close other programs, or ask the "
       u"chat client for less text, before you start it again."},
      {std::make_exception_ptr(std::out_of_range("at")),
       u"Run-time error 51: Internal error (at)\n\nKelto will close."},
  };
  for (const auto& row : rows) {
    const RunTimeError error = AsRunTimeError(row.failure, u"My Kelto");
    EXPECT_EQ(RunTimeErrorText(error), row.text);
  }
  EXPECT_EQ(AsRunTimeError(std::make_exception_ptr(std::bad_alloc()), u"My Kelto").Source(),
            u"My Kelto");
}

}  // namespace
}  // namespace kelto::testing
