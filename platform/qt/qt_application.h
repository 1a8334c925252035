#pragma once

#include <functional>
#include <memory>

#include "platform/application.h"

class QObject;

namespace poroten::platform::qt {

class QtApplication : public Application {
public:
    QtApplication();
    ~QtApplication() override;
    QtApplication(const QtApplication&) = delete;
    QtApplication& operator=(const QtApplication&) = delete;

    void quit() override;
    // Reports SIGTERM, SIGHUP and SIGINT (those not ignored at start) and the
    // session manager's request to save before the session ends, then quits.
    void onEnding(std::function<void(Ending)> ending) override;

private:
    void signalled();
    void endForGood();

    std::function<void(Ending)> ending_;
    std::unique_ptr<QObject> context_;  // owns what reports the ending
};

}  // namespace poroten::platform::qt
