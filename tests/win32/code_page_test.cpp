// The shared code page 932 table is made from the build machine's iconv;
// here it is held against the system's own converter, code by code, so a
// record means on Linux and in the page what it means on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/cp932_codec.h"
#include "platform/win32/wide_text.h"

namespace poroten::platform::win32::testing {
namespace {

// The system's reading of one code, or empty when it assigns none.
std::string systemReading(const std::string& code) {
    wchar_t wide[2];
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, code.data(),
                                      static_cast<int>(code.size()), wide, 2);
    return n > 0 ? toUtf8(std::wstring_view(wide, static_cast<std::size_t>(n))) : std::string();
}

TEST(SharedCodePage, ReadsEveryCodeAsWindowsDoes) {
    // 80, A0 and FD-FF Windows passes through or maps into private use; code
    // page 932 assigns them nothing, so the record reads them as unknown.
    const platform::Cp932Codec codec;
    const std::string unknown = "\xEF\xBF\xBD";
    int compared = 0;
    for (int b = 0; b < 0x100; ++b) {
        const std::string code(1, static_cast<char>(b));
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) || b == 0x80 || b == 0xA0 || b >= 0xFD) {
            continue;
        }
        ASSERT_EQ(codec.fromCodePage932(code), systemReading(code)) << b;
        ++compared;
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsDBCSLeadByteEx(932, static_cast<BYTE>(lead))) {
            continue;
        }
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string system = systemReading(code);
            ASSERT_EQ(codec.fromCodePage932(code), system.empty() ? unknown : system)
                << std::hex << lead << ' ' << trail;
            if (!system.empty()) {
                // Written back as the system writes that character, best fit off.
                const std::wstring wide = toWide(system);
                char written[4];
                const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                  static_cast<int>(wide.size()), written,
                                                  sizeof written, "?", nullptr);
                ASSERT_EQ(codec.toCodePage932(system), std::string(written, n > 0 ? n : 0))
                    << std::hex << lead << ' ' << trail;
            }
            ++compared;
        }
    }
    EXPECT_EQ(compared, 128 + 63 + 60 * 188);
}

}  // namespace
}  // namespace poroten::platform::win32::testing
