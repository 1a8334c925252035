#include "platform/window_rules.h"

#include <algorithm>
#include <cstdint>

namespace poroten::platform {

int twipsToPixels(int twips, int dpi) {
    const std::int64_t scaled = std::int64_t{twips} * dpi;
    const std::int64_t per = std::int64_t{kTwipsPerPixel} * kBaseDpi;
    const std::int64_t rounded = (2 * (scaled < 0 ? -scaled : scaled) + per) / (2 * per);
    return static_cast<int>(scaled < 0 ? -rounded : rounded);
}

PixelRect toPixels(const TwipRect& twips, int dpi) {
    const int left = twipsToPixels(twips.left, dpi);
    const int top = twipsToPixels(twips.top, dpi);
    return {left, top, twipsToPixels(twips.left + twips.width, dpi) - left,
            twipsToPixels(twips.top + twips.height, dpi) - top};
}

std::vector<int> tabOrder(const WindowDesc& desc) {
    std::vector<const ControlDesc*> focusable;
    for (const ControlDesc& control : desc.controls) {
        if (control.kind != ControlKind::Label) {
            focusable.push_back(&control);
        }
    }
    std::stable_sort(
        focusable.begin(), focusable.end(),
        [](const ControlDesc* a, const ControlDesc* b) { return a->tabIndex < b->tabIndex; });
    std::vector<int> ids;
    for (const ControlDesc* control : focusable) {
        ids.push_back(control->id);
    }
    return ids;
}

bool isTypable(char32_t c) {
    return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0);
}

std::u32string typedCharacters(const KeyPress& key) {
    const KeyModifiers& m = key.modifiers;
    const bool altGr = m.control && m.alt;
    if (!altGr && (m.control || m.alt || m.meta)) {
        return {};
    }
    if (key.enter) {
        return {13};
    }
    std::u32string typed;
    for (const char32_t c : key.text) {
        if (isTypable(c)) {
            typed.push_back(c);
        }
    }
    if (typed.empty() && key.keypadDigit >= 0 && key.keypadDigit <= 9) {
        typed.push_back(U'0' + static_cast<char32_t>(key.keypadDigit));
    }
    return typed;
}

}  // namespace poroten::platform
