// A Content-Security-Policy hash source for the page's inline style and
// script, so that the policy names exactly what may run inline; and base64,
// which the page generator also writes the small icon in. OpenSSL's libcrypto
// does the hashing and the encoding.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace poroten::tools {

std::array<std::uint8_t, 32> sha256(std::string_view bytes);
std::string base64(const std::uint8_t* bytes, std::size_t size);

// "'sha256-…'" of the text's bytes, as the browser hashes an element's text.
std::string cspHash(std::string_view text);

}  // namespace poroten::tools
