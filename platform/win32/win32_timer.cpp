#include "platform/win32/win32_timer.h"

#include <algorithm>

#include "platform/tick_schedule.h"

namespace poroten::platform::win32 {

using Clock = std::chrono::steady_clock;

struct TimerState {
    UINT_PTR id = 0;
    Clock::duration interval{};
    std::function<void()> onTimer;
    bool enabled = false;
    Clock::time_point due{};
};

namespace {

constexpr const wchar_t* kClassName = L"PorotenTimers";

UINT delayUntil(Clock::time_point due, Clock::time_point now) {
    if (due <= now) {
        return USER_TIMER_MINIMUM;
    }
    // Rounded up: a tick that arrives early is only re-armed, never run.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
    return static_cast<UINT>(std::clamp<long long>(ms, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
}

}  // namespace

class Win32Timer : public platform::Timer {
public:
    Win32Timer(Win32TimerFactory& factory, std::shared_ptr<TimerState> state)
        : factory_(factory), state_(std::move(state)) {}

    ~Win32Timer() override {
        KillTimer(factory_.hwnd_, state_->id);
        state_->enabled = false;
        factory_.timers_.erase(state_->id);
    }

    void setEnabled(bool enabled) override {
        state_->enabled = enabled;
        if (!enabled) {
            KillTimer(factory_.hwnd_, state_->id);
            return;
        }
        const auto now = Clock::now();
        state_->due = now + state_->interval;
        SetTimer(factory_.hwnd_, state_->id, delayUntil(state_->due, now), nullptr);
    }

    bool isEnabled() const override { return state_->enabled; }

private:
    Win32TimerFactory& factory_;
    std::shared_ptr<TimerState> state_;
};

Win32TimerFactory::Win32TimerFactory() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32TimerFactory::windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);  // fails harmlessly when a second factory registers again
    hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                            nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32TimerFactory::~Win32TimerFactory() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

std::unique_ptr<platform::Timer> Win32TimerFactory::createTimer(std::chrono::milliseconds interval,
                                                                std::function<void()> onTimer) {
    auto state = std::make_shared<TimerState>();
    state->id = nextId_++;
    state->interval = std::max<Clock::duration>(interval, std::chrono::milliseconds(1));
    state->onTimer = std::move(onTimer);
    timers_[state->id] = state;
    return std::make_unique<Win32Timer>(*this, std::move(state));
}

LRESULT CALLBACK Win32TimerFactory::windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_TIMER) {
        auto* factory =
            reinterpret_cast<Win32TimerFactory*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (factory) {
            factory->tick(static_cast<UINT_PTR>(wParam));
        }
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32TimerFactory::tick(UINT_PTR id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) {
        KillTimer(hwnd_, id);
        return;
    }
    // Held here so the handler may destroy its own timer.
    const std::shared_ptr<TimerState> state = found->second;
    if (!state->enabled) {
        KillTimer(hwnd_, id);
        return;
    }
    const auto now = Clock::now();
    if (now < state->due) {
        SetTimer(hwnd_, id, delayUntil(state->due, now), nullptr);
        return;
    }
    state->due = platform::nextTick(state->due, state->interval, now);
    SetTimer(hwnd_, id, delayUntil(state->due, now), nullptr);
    // Last, so that whatever the handler does to any timer stands.
    state->onTimer();
}

}  // namespace poroten::platform::win32
