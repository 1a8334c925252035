// A Content-Security-Policy hash source for the page's inline style and
// script, so that the policy names exactly what may run inline. Built into the
// page generator, for the build machine.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace poroten::platform::web {

std::array<std::uint8_t, 32> sha256(std::string_view bytes);
std::string base64(const std::uint8_t* bytes, std::size_t size);

// "'sha256-…'" of the text's bytes, as the browser hashes an element's text.
std::string cspHash(std::string_view text);

}  // namespace poroten::platform::web
