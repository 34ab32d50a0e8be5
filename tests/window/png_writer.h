#pragma once

#include <cstdint>
#include <string>

namespace kelto::window_testing {

// Writes 32-bit BGRX pixels, top row first, as an uncompressed PNG.
bool WritePng(const std::wstring& path, int width, int height, const std::uint8_t* bgrx);

}  // namespace kelto::window_testing
