#include "platform/win32/win32_codec.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace poroten::win32 {

namespace {

constexpr UINT kCodePage = 932;

bool isSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Single bytes that the system's table passes through (0x80 as U+0080) or
// maps into the private use area (0xA0, 0xFD-0xFF as U+F8F0-U+F8F3). Code
// page 932 assigns them no character, and the score file must read the same
// on every platform, so they count as invalid here.
bool isUnassignedSingle(unsigned char b) {
    return b == 0x80 || b == 0xA0 || b >= 0xFD;
}
bool isUnassignedSingleImage(wchar_t c) {
    return c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3);
}

void appendEncoded(std::string& out, std::wstring_view run) {
    if (run.empty()) {
        return;
    }
    // No best fit: a character without its own code becomes "?" instead of a
    // look-alike that would read back as a different character.
    const int size = static_cast<int>(run.size());
    const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, run.data(), size,
                                           nullptr, 0, "?", nullptr);
    if (length <= 0) {
        out.append(run.size(), '?');
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length));
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, run.data(), size, out.data() + start,
                        length, "?", nullptr);
}

bool isTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// One character of 1 or 2 bytes; false when the table has no character for it.
bool decodeOne(const char* bytes, int length, std::wstring& out) {
    wchar_t buffer[2];
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, length, buffer, 2);
    if (n <= 0) {
        return false;
    }
    out.append(buffer, static_cast<std::size_t>(n));
    return true;
}

}  // namespace

std::string Win32TextCodec::toCodePage932(std::string_view utf8) const {
    const std::wstring wide = toWide(utf8);
    std::string out;
    out.reserve(wide.size() * 2);
    // Characters beyond the BMP come as surrogate pairs; none is in code
    // page 932, and each must give one "?", not one per half.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (!isSurrogate(wide[i]) && !isUnassignedSingleImage(wide[i])) {
            continue;
        }
        appendEncoded(out, std::wstring_view(wide).substr(runStart, i - runStart));
        out.push_back('?');
        if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size() &&
            wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            ++i;
        }
        runStart = i + 1;
    }
    appendEncoded(out, std::wstring_view(wide).substr(runStart));
    return out;
}

std::string Win32TextCodec::fromCodePage932(std::string_view bytes) const {
    // Decoded a character at a time: the system either fails a whole buffer
    // with an invalid byte (MB_ERR_INVALID_CHARS) or silently substitutes
    // U+30FB for it, and neither is U+FFFD in place of just the bad bytes.
    std::wstring wide;
    wide.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (IsDBCSLeadByteEx(kCodePage, lead)) {
            if (i + 1 < bytes.size() && isTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
                if (!decodeOne(bytes.data() + i, 2, wide)) {
                    wide.push_back(0xFFFD);
                }
                i += 2;
            } else {
                // A lead byte cut off, or followed by a byte that cannot end a
                // pair: only the lead byte is bad, the next byte stands alone.
                wide.push_back(0xFFFD);
                i += 1;
            }
            continue;
        }
        if (isUnassignedSingle(lead) || !decodeOne(bytes.data() + i, 1, wide)) {
            wide.push_back(0xFFFD);
        }
        i += 1;
    }
    return toUtf8(wide);
}

}  // namespace poroten::win32
