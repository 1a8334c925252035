#pragma once

#include "platform/application.h"

namespace poroten::platform::qt {

class QtApplication : public Application {
public:
    void quit() override;
};

}  // namespace poroten::platform::qt
