// A Form1 on the in-memory platform, with helpers that play as a user would.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "game/game_rules.h"
#include "game/game_window.h"
#include "platform/caption_number.h"

namespace poroten::testing {

class GameTest : public ::testing::Test {
protected:
    GameTest() : store(platform.files, platform.codec, platform.messageBoxes) {}

    void SetUp() override {
        form = std::make_unique<game::Form1>(platform.services(), store);
        window = platform.windows.find("Form1");
        ASSERT_NE(window, nullptr);
    }

    FakeTimer& timer1() { return platform.timers.timer(0); }
    FakeTimer& timer2() { return platform.timers.timer(1); }
    FakeLabel& cell(int i) { return window->fakeLabel(i); }
    std::string text(int id) { return window->fakeLabel(id).text(); }
    std::string countdown() { return text(game::Label3); }
    std::string score() { return text(game::Label5); }
    std::string message() { return text(game::Label6); }
    const game::GameState& state() { return form->state(); }

    // The texts of every cell, "" for an empty one.
    std::vector<std::string> cells() {
        std::vector<std::string> out;
        for (int i = 0; i < game::kCellCount; ++i) {
            out.push_back(cell(i).text());
        }
        return out;
    }

    void press(char32_t key) { window->key(key); }
    void pressDigits(const std::string& digits) {
        for (char d : digits) {
            press(static_cast<char32_t>(d));
        }
    }

    // Enter with the given first row scripted, then the memorize countdown run out.
    void startAndMemorize(std::initializer_list<int> row) {
        platform.random.script(row);
        press(13);
        memorize();
    }
    void memorize() {
        for (long i = 0; i < game::kMemorizeSeconds; ++i) {
            timer2().fire();
        }
    }
    // A countdown's text at n seconds.
    static std::string at(long n) { return platform::decimalText(n); }
    static constexpr long kMemorize = game::kMemorizeSeconds;
    static constexpr long kAnswer = game::kAnswerSeconds;
    // Starts a game and plays rows of zeros right until the score reaches target.
    // Each row may draw up to every cell; what a row leaves undrawn is dropped.
    void playRowsTo(int target) {
        const std::size_t boxesBefore = platform.messageBoxes.shown.size();
        const auto zeros = [this] {
            platform.random.draws.assign(static_cast<std::size_t>(game::kCellCount), 0.0);
        };
        zeros();
        press(13);
        for (int points = 0; points < target; ++points) {
            memorize();
            const int length = state().LastCell + 1;
            zeros();
            pressDigits(std::string(static_cast<std::size_t>(length), '0'));
            ASSERT_EQ(platform.messageBoxes.shown.size(), boxesBefore)
                << "at " << points << " points";
        }
        platform.random.draws.clear();
    }

    FakePlatform platform;
    highscore::Module1 store;
    std::unique_ptr<game::Form1> form;
    FakeWindow* window = nullptr;
};

}  // namespace poroten::testing
