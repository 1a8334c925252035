// When a timer that schedules itself ticks next, so every adapter keeps the
// game's seconds alike: one interval after the tick that was due, never early,
// and after a stall (a busy thread, a suspended machine, a hidden tab) the
// next slot of the schedule, so missed ticks are dropped, not run in a burst.
#pragma once

namespace poroten::platform {

// Time and Interval are std::chrono types, or plain milliseconds as double.
template <typename Time, typename Interval>
Time nextTick(Time due, Interval interval, Time now) {
    Time next = due + interval;
    if (next <= now) {
        const auto missed = static_cast<long long>((now - due) / interval);
        next = due + static_cast<decltype((now - due) / interval)>(missed + 1) * interval;
    }
    return next;
}

}  // namespace poroten::platform
