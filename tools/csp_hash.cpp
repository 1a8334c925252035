#include "tools/csp_hash.h"

#include <openssl/evp.h>

#include <climits>
#include <stdexcept>

namespace poroten::tools {

std::array<std::uint8_t, 32> sha256(std::string_view bytes) {
    std::array<std::uint8_t, 32> digest{};
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha256(), nullptr) != 1 ||
        size != digest.size()) {
        throw std::runtime_error("SHA-256 failed");
    }
    return digest;
}

std::string base64(const std::uint8_t* bytes, std::size_t size) {
    if (size > INT_MAX / 4 * 3) {
        throw std::length_error("too much to encode in one block");
    }
    // Four characters to three bytes, and the terminator EVP_EncodeBlock writes.
    std::string out((size + 2) / 3 * 4 + 1, '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes,
                                        static_cast<int>(size));
    out.resize(static_cast<std::size_t>(written));
    return out;
}

std::string cspHash(std::string_view text) {
    const auto digest = sha256(text);
    return "'sha256-" + base64(digest.data(), digest.size()) + "'";
}

}  // namespace poroten::tools
