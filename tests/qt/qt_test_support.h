// Helpers for the tests that drive real Qt windows.
#pragma once

#include <QTemporaryDir>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix/posix_files.h"
#include "platform/window.h"

namespace poroten::testing {

// The shown top-level window with this object name (a WindowDesc's name).
QWidget* visibleWindow(const QString& name);

// Runs the deletions queued with deleteLater, as the event loop would.
void runDeferredDeletes();

// Shows the window and waits until it is active, so keys and shortcuts reach it.
bool activate(QWidget* window);

// Records what a window reports. Keys are left untaken unless takeKey says otherwise.
struct RecordingEvents : platform::WindowEvents {
    std::vector<std::pair<int, char32_t>> keys;
    std::vector<int> commands;
    int closeRequests = 0;
    std::function<bool(int, char32_t)> takeKey;
    std::function<void(int)> afterCommand;

    bool onKeyPress(int control, char32_t character) override {
        keys.emplace_back(control, character);
        return takeKey && takeKey(control, character);
    }
    void onCommand(int id) override {
        commands.push_back(id);
        if (afterCommand) {
            afterCommand(id);
        }
    }
    void onCloseRequest() override { ++closeRequests; }
};

// The file service with both of the game's folders in a fresh temporary folder.
class TemporaryFiles : public platform::posix::PosixFiles {
public:
    std::filesystem::path programDirectory() const override;
    std::filesystem::path userDataDirectory() const override;

private:
    QTemporaryDir dir_;
};

}  // namespace poroten::testing
