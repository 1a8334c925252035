#pragma once

#include <QIcon>

namespace poroten::platform::qt {

// The program's icon: the 32-pixel 16-colour image for title bars and task
// bars, and a 256-pixel one for larger views.
QIcon programIcon();

}  // namespace poroten::platform::qt
