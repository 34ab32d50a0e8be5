#include "link/run_time_error.h"

#include <new>
#include <stdexcept>

namespace kelto {
namespace {

RunTimeError OutOfMemory(const std::u16string& source) {
  return {kErrorOutOfMemory, source, u"Out of memory",
          u"Kelto will close. Close other programs, or ask the chat client for less text, "
          u"before you start it again."};
}

}  // namespace

RunTimeError AsRunTimeError(std::exception_ptr failure, const std::u16string& source) {
  try {
    std::rethrow_exception(std::move(failure));
  } catch (const RunTimeError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return OutOfMemory(source);
  } catch (const std::length_error&) {
    // A text longer than a string of this build can hold (2^30 - 1 units in the
    // 32-bit one): to the user, the same as one that memory cannot hold.
    return OutOfMemory(source);
  } catch (const std::exception& error) {
    std::u16string what;
    for (const char* c = error.what(); *c != '\0'; ++c) {
      what.push_back(static_cast<unsigned char>(*c));
    }
    return {kErrorInternal, source, u"Internal error (" + what + u")"};
  } catch (...) {
    return {kErrorInternal, source, u"Internal error"};
  }
}

std::u16string RunTimeErrorText(const RunTimeError& error) {
  std::u16string text =
      u"Run-time error " + DecimalText(error.Number()) + u": " + error.Description();
  if (!error.Advice().empty()) {
    text += u"\n\n" + error.Advice();
  }
  return text;
}

std::u16string DecimalText(std::int64_t number) {
  // Digits of the magnitude, built from the end; unsigned so that the lowest value works.
  auto magnitude =
      number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  return number < 0 ? u"-" + digits : digits;
}

}  // namespace kelto
