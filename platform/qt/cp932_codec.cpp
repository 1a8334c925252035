#include "platform/qt/cp932_codec.h"

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <stdexcept>
#include <vector>

namespace poroten::platform::qt {

namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kUtf32 = "UTF-32LE";
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("no converter from ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts what it can of in into out, both advancing; false with errno
    // set when it stopped early.
    bool convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        char* source = const_cast<char*>(in);
        const std::size_t result = iconv(cd_, &source, &inLeft, &out, &outLeft);
        in = source;
        if (result == static_cast<std::size_t>(-1)) {
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

// The code page 932 bytes of one character given in UTF-32LE, or none when
// the code page has no exact place for it.
std::optional<std::string> encodeOne(Converter& encoder, Converter& decoder,
                                     const char (&character)[4]) {
    const char* in = character;
    std::size_t inLeft = sizeof character;
    char encoded[8];
    char* out = encoded;
    std::size_t outLeft = sizeof encoded;
    if (!encoder.convert(in, inLeft, out, outLeft) || out == encoded) {
        return std::nullopt;
    }
    const std::string bytes(encoded, out);

    // iconv also maps look-alikes one way (U+00A5 to 5C, U+301C to 81 60);
    // those would read back as another character, so they count as missing.
    const char* back = bytes.data();
    std::size_t backLeft = bytes.size();
    char decoded[8];
    char* decodedOut = decoded;
    std::size_t decodedLeft = sizeof decoded;
    if (!decoder.convert(back, backLeft, decodedOut, decodedLeft) ||
        std::string_view(decoded, decodedOut - decoded) !=
            std::string_view(character, sizeof character)) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

// A system without the converters fails here, at start, not on the first name saved.
Cp932Codec::Cp932Codec() {
    Converter{kCp932, kUtf32};
    Converter{kUtf32, kCp932};
    Converter{kUtf32, kUtf8};
    Converter{kUtf8, kCp932};
}

std::string Cp932Codec::toCodePage932(std::string_view utf8) const {
    Converter splitter(kUtf32, kUtf8);
    Converter encoder(kCp932, kUtf32);
    Converter decoder(kUtf32, kCp932);
    std::string result;
    result.reserve(utf8.size());
    const char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        // Room for exactly one character, so the text is taken one at a time.
        char character[4];
        char* out = character;
        std::size_t outLeft = sizeof character;
        splitter.convert(in, inLeft, out, outLeft);
        if (out == character + sizeof character) {
            const auto bytes = encodeOne(encoder, decoder, character);
            result += bytes ? *bytes : std::string("?");
        } else {
            // Not UTF-8: each stray byte stands for one unknown character.
            result += '?';
            ++in;
            --inLeft;
        }
    }
    return result;
}

std::string Cp932Codec::fromCodePage932(std::string_view bytes) const {
    Converter decoder(kUtf8, kCp932);
    // Each byte gives at most three bytes of UTF-8, a replacement included.
    std::vector<char> buffer(bytes.size() * 3 + 3);
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* out = buffer.data();
    std::size_t outLeft = buffer.size();
    while (inLeft > 0) {
        if (decoder.convert(in, inLeft, out, outLeft)) {
            continue;
        }
        if (errno == E2BIG) {
            break;  // cannot happen with the room reserved above
        }
        // A byte that cannot start a character here stands for itself alone,
        // so an ASCII byte after a stray lead byte is still read as ASCII.
        for (const char c : std::string_view(kReplacement)) {
            *out++ = c;
            --outLeft;
        }
        ++in;
        --inLeft;
    }
    return std::string(buffer.data(), out);
}

}  // namespace poroten::platform::qt
