// The main window as the player sees it: captions, places, colours and fonts.
#pragma once

#include "platform/window_desc.h"
#include "platform/gothics.h"
#include "platform/texts.h"

namespace poroten::game {

namespace colour {
constexpr platform::Colour Green = 0x0000FF00;
constexpr platform::Colour Blue = 0x00FF0000;
constexpr platform::Colour Cyan = 0x00FFFF00;
constexpr platform::Colour Teal = 0x00C0C000;
constexpr platform::Colour Black = 0x00000000;  // the labels' text
// What a digit cell's colour tells.
constexpr platform::Colour CellAtRest = Green;
constexpr platform::Colour CellNewDigit = Green;  // shown, or still to be answered
constexpr platform::Colour CellAnswered = Blue;
}  // namespace colour

constexpr int kCellCount = 10;

// Control ids of Form1. The digit cells Label1(0)..Label1(9) take ids 0..9.
enum Form1Id : int {
    Label2 = 102,  // caption of the countdown
    Label3 = 103,  // countdown value
    Label4 = 104,  // caption of the score
    Label5 = 105,  // score value
    Label6 = 106,  // message line
};

using platform::kJapaneseFont;

platform::WindowDesc form1Layout();

}  // namespace poroten::game
