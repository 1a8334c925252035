// Every service the game needs of one toolkit, owned together and handed to the
// game as Services. Keep it alive longer than anything built from its services.
#pragma once

#include <type_traits>

#include "platform/clock_random.h"
#include "platform/cp932_codec.h"
#include "platform/services.h"

namespace poroten::platform {

template <class Windows, class Timers, class Boxes, class App, class FileService>
class PlatformBundle {
public:
    PlatformBundle() = default;
    PlatformBundle(const PlatformBundle&) = delete;
    PlatformBundle& operator=(const PlatformBundle&) = delete;

    Services services() {
        return Services{windows_, timers_, messageBoxes_, application_, random_, codec_, files_};
    }

    Windows& windows() { return windows_; }
    Timers& timers() { return timers_; }
    Boxes& messageBoxes() { return messageBoxes_; }
    App& application() { return application_; }
    ClockRandom& random() { return random_; }
    Cp932Codec& codec() { return codec_; }
    FileService& files() { return files_; }

private:
    // An application that ends the program by taking the windows down is given them.
    App makeApplication() {
        if constexpr (std::is_constructible_v<App, Windows&>) {
            return App(windows_);
        } else {
            return App();
        }
    }

    Windows windows_;
    Timers timers_;
    Boxes messageBoxes_;
    App application_ = makeApplication();
    ClockRandom random_;
    Cp932Codec codec_;
    FileService files_;
};

}  // namespace poroten::platform
