#pragma once

#include <string>
#include <vector>

#include "window/host_discovery.h"

namespace kelto::testing {

class FakeAvatarList final : public AvatarList {
 public:
  void Clear() override {
    entries.clear();
    ++clears;
  }
  int Count() const override { return static_cast<int>(entries.size()); }
  std::u16string Entry(int index) const override {
    return entries.at(static_cast<std::size_t>(index));
  }
  std::vector<std::u16string> entries;
  int clears = 0;
};

// ASCII letters only, which is all these tests need of the platform's mapping.
class AsciiLowerCase final : public TextCase {
 public:
  std::u16string Lower(std::u16string_view text) const override {
    std::u16string lower(text);
    for (char16_t& c : lower) {
      if (c >= u'A' && c <= u'Z') {
        c = static_cast<char16_t>(c - u'A' + u'a');
      }
    }
    return lower;
  }
};

class FakeHostControls final : public HostControls {
 public:
  void SetHostText(const std::u16string& text) override {
    host = text;
    ++writes;
  }
  AvatarList& Avatars() override { return avatars; }
  std::u16string host = u"(typed by the user)";
  int writes = 0;
  FakeAvatarList avatars;
};

}  // namespace kelto::testing
