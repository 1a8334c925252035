#pragma once

#include <QFont>

#include "platform/window_desc.h"

namespace poroten::platform::qt {

// The font a control asks for. A named face that is not installed falls back
// to a Japanese gothic so that kana and kanji never go missing; an empty face
// keeps base, the window's default font. Sizes are in points.
QFont resolveFont(const FontDesc& desc, const QFont& base);

}  // namespace poroten::platform::qt
