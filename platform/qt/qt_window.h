#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/window.h"

namespace poroten::platform::qt {

// Builds each WindowDesc as a top-level QWidget named after the desc, with a
// menu bar above a fixed client area whose controls carry their desc names.
class QtWindowFactory : public WindowFactory {
public:
    QtWindowFactory() = default;
    // Deletes the windows still waiting for their deferred deletion.
    ~QtWindowFactory() override;
    QtWindowFactory(const QtWindowFactory&) = delete;
    QtWindowFactory& operator=(const QtWindowFactory&) = delete;

    std::unique_ptr<Window> createWindow(const WindowDesc& desc, WindowEvents& events) override;

private:
    std::vector<QPointer<QWidget>> windows_;
};

}  // namespace poroten::platform::qt
