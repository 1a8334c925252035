#include "game/game_window.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "game/answer_keys.h"
#include "game/game_rules.h"
#include "platform/caption_number.h"

namespace poroten::game {

using platform::decimalText;
using platform::numericValue;

Form1::Form1(const platform::Services& services, highscore::Module1& store)
    : services_(services),
      store_(store),
      menu_(services.messageBoxes, services.application, store, [this] { StartGame(); }) {
    window_ = services_.windows.createWindow(form1Layout(), *this);
    Timer1 = services_.timers.createTimer(kTick, [this] { Timer1_Timer(); });
    Timer2 = services_.timers.createTimer(kTick, [this] { Timer2_Timer(); });
    Form_Load();
    window_->show();
    services_.application.onEnding([this](platform::Ending how) { Form_Ending(how); });
}

Form1::~Form1() {
    services_.application.onEnding({});
}

void Form1::Form_Ending(platform::Ending how) {
    const bool forGood = how == platform::Ending::ForGood;
    if (dialog_ && dialog_->isOpen()) {
        forGood ? dialog_->confirmBeforeEnding() : dialog_->keepForNow();
        return;
    }
    if (!unchecked_) {
        return;
    }
    const long score = numericValue(window_->label(Label5).text());
    if (forGood) {
        // The box's continuation, if it still runs, must not ask for a name.
        unchecked_ = false;
        store_.KeepScoreBeforeEnding(score);
    } else {
        store_.KeepScoreForNow(score);
    }
}

void Form1::Form_Load() {
    store_.LoadHighScore();
}

long Form1::countdown() {
    return numericValue(window_->label(Label3).text());
}

void Form1::setCountdown(long value) {
    window_->label(Label3).setText(decimalText(value));
}

std::int16_t Form1::drawDigit() {
    // The whole part of r * 10 for r in [0, 1); the clamp only guards a
    // generator that breaks its contract.
    const auto digit = static_cast<std::int16_t>(services_.random.next() * 10.0);
    return std::clamp<std::int16_t>(digit, 0, 9);
}

void Form1::StartGame() {
    // A restart from a running game must not leave the old answer countdown
    // ticking under the new one, nor answered or extra cells on screen.
    Timer1->setEnabled(false);
    Timer2->setEnabled(false);
    for (int i = 0; i < kCellCount; ++i) {
        cell(i).setText("");
        cell(i).setBackColour(colour::CellAtRest);
    }
    setCountdown(kMemorizeSeconds);
    window_->label(Label5).setText("0");
    Timer2->setEnabled(true);
    state_.InputOpen = false;
    state_.LastCell = kFirstLastCell;
    state_.Remaining = kFirstLastCell;
    for (int i = 0; i <= kFirstLastCell; ++i) {
        services_.random.reseed();
        cell(i).setText(decimalText(drawDigit()));
        cell(i).setBackColour(colour::CellNewDigit);
    }
    window_->label(Label6).setText(text::Memorize);
}

void Form1::Timer2_Timer() {
    setCountdown(countdown() - 1);
    if (countdown() != 0) {
        return;
    }
    Timer2->setEnabled(false);
    for (int i = 0; i <= state_.LastCell; ++i) {
        state_.Digits[i] = static_cast<std::int16_t>(numericValue(cell(i).text()));
        cell(i).setText("");
    }
    setCountdown(kAnswerSeconds);
    Timer1->setEnabled(true);
    state_.InputOpen = true;
    window_->label(Label6).setText(text::Start);
}

void Form1::Timer1_Timer() {
    setCountdown(countdown() - 1);
    if (countdown() == 0) {
        EndGame(text::TimeUp);
    }
}

void Form1::NextRow() {
    setCountdown(kMemorizeSeconds);
    platform::Label& score = window_->label(Label5);
    score.setText(decimalText(numericValue(score.text()) + 1));
    // Every ten points adds a cell, up to the ten the window has.
    if (numericValue(score.text()) % kPointsPerNewCell == 0 && state_.LastCell < kCellCount - 1) {
        ++state_.LastCell;
    }
    for (int i = 0; i <= state_.LastCell; ++i) {
        cell(i).setText(decimalText(drawDigit()));
        cell(i).setBackColour(colour::CellNewDigit);
    }
    Timer1->setEnabled(false);
    Timer2->setEnabled(true);
    state_.InputOpen = false;
    state_.Remaining = state_.LastCell;
    window_->label(Label6).setText(text::Memorize);
}

void Form1::EndGame(std::string_view text) {
    Timer1->setEnabled(false);
    state_.InputOpen = false;
    unchecked_ = true;
    services_.messageBoxes.show("", text, [this] {
        for (int i = 0; i <= state_.LastCell; ++i) {
            cell(i).setText("");
            cell(i).setBackColour(colour::CellAtRest);
        }
        window_->label(Label6).setText(text::PressReturn);
        if (std::exchange(unchecked_, false)) {
            CheckHighScore();
        }
    });
}

void Form1::CheckHighScore() {
    store_.CheckNewRecord(numericValue(window_->label(Label5).text()), [this] {
        dialog_ = std::make_unique<highscore::Dialog>(services_.windows, store_,
                                                      [this] { window_->show(); });
        dialog_->show();
        window_->hide();
    });
}

void Form1::Form_KeyPress(char32_t character) {
    if (character == 13) {
        StartGame();
        return;
    }
    // Keys other than Enter and the digits never end a game.
    if (const auto value = answerDigit(character)) {
        answer(*value);
    }
}

void Form1::answer(int value) {
    GameState& s = state_;
    if (!s.InputOpen) {
        return;
    }
    if (s.Remaining >= 1 && s.Remaining <= s.LastCell) {
        const int j = s.LastCell - s.Remaining;
        if (value == s.Digits[j]) {
            cell(j).setBackColour(colour::CellAnswered);
            cell(j).setText(decimalText(s.Digits[j]));
            --s.Remaining;
        } else {
            EndGame(text::WrongKey);
        }
    } else if (s.Remaining == 0) {
        if (value == s.Digits[s.LastCell]) {
            NextRow();
        } else {
            EndGame(text::WrongKey);
        }
    }
}

bool Form1::onKeyPress(int /*control*/, char32_t character) {
    Form_KeyPress(character);
    return true;
}

void Form1::onCommand(int id) {
    menu_.onCommand(id);
}

// The close box closes the last window, which ends the program.
void Form1::onCloseRequest() {
    services_.application.quit();
}

}  // namespace poroten::game
