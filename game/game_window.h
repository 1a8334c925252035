// Form1: the main window, the game's state and its cycle.
//
// A game runs through three phases, told by the timers and InputOpen:
//   rest      both timers off, input closed, "リターンを押してね"
//   memorize  Timer2 counts 3-2-1 while the digits show, input closed
//   answer    Timer1 counts 5..1 while the player types the row back, input open
// The countdown and the score live only in the text of Label3 and Label5.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "game/layout.h"
#include "highscore/high_score_store.h"
#include "highscore/name_window.h"
#include "menu/menu_commands.h"
#include "platform/services.h"

namespace poroten::game {

struct GameState {
    std::int16_t LastCell = 0;   // index of the last cell in play, 2..9
    std::int16_t Remaining = 0;  // cells still due before the last; 0: the last one is due
    // The row to recall, slots 0..LastCell; one slot more than there are cells.
    std::array<std::int16_t, kCellCount + 1> Digits{};
    bool InputOpen = false;  // answer keys are judged only while true
};

class Form1 : private platform::WindowEvents {
public:
    // Builds the window, reads the score file and shows the window.
    Form1(const platform::Services& services, highscore::Module1& store);
    ~Form1() override;

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    void StartGame();
    void NextRow();
    void EndGame(std::string_view text);
    void CheckHighScore();

    void Form_Load();
    void Form_KeyPress(char32_t character);
    void Timer1_Timer();
    void Timer2_Timer();
    // The system ends the program, or may: a record just earned is kept, with
    // the name typed so far.
    void Form_Ending(platform::Ending how);

    const GameState& state() const { return state_; }
    platform::Window& window() { return *window_; }

private:
    bool onKeyPress(int control, char32_t character) override;
    void onCommand(int id) override;
    void onCloseRequest() override;

    platform::Label& cell(int i) { return window_->label(i); }
    long countdown();
    void setCountdown(long value);
    std::int16_t drawDigit();
    void answer(int value);

    platform::Services services_;
    highscore::Module1& store_;
    menu::MenuCommands menu_;
    GameState state_;
    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::Timer> Timer1;  // answer countdown
    std::unique_ptr<platform::Timer> Timer2;  // memorize countdown
    std::unique_ptr<highscore::Dialog> dialog_;
    // A game has ended and its box is open: its score is not checked yet.
    bool unchecked_ = false;
};

}  // namespace poroten::game
