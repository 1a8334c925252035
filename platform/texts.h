// Every text the player reads, in one place: the game's windows, menus and
// boxes, what Windows shows for the program at a log-off, and what the page
// around the windows says of its own. Each group sits in the namespace of the
// code that shows it, so that code reads as before; this file includes
// nothing and is plain C++ for the core and every adapter alike.
// The game's description for --help and the packages is app/description.cpp.
#pragma once

namespace poroten::platform {

// The program's name where the system shows one of its own: a box without a
// title, the user's data folder.
inline constexpr char kApplicationTitle[] = "poroten";

}  // namespace poroten::platform

namespace poroten::game::text {

// The main window.
inline constexpr char Title[] = "ポロテン";
inline constexpr char TimeLeft[] = "残り時間";
inline constexpr char Score[] = "得点";
// Its message line.
inline constexpr char PressReturn[] = "リターンを押してね";
inline constexpr char Memorize[] = "数字を覚えてね";
inline constexpr char Start[] = "スタート";
inline constexpr char WrongKey[] = "お手つき！";
inline constexpr char TimeUp[] = "時間切れ";

}  // namespace poroten::game::text

namespace poroten::menu {

// The menu bar; "&" marks each entry's access key.
inline constexpr char kFileEntry[] = "ファイル(&F)";
inline constexpr char kNewEntry[] = "始める(&N)";
inline constexpr char kHighEntry[] = "ハイスコア(&H)";
inline constexpr char kExitEntry[] = "終了(&X)";
inline constexpr char kAboutEntry[] = "バージョン情報(&A)";

// The best-score box: the heading, then the name, kAfterName, the score and kAfterScore.
inline constexpr char kHighScoreTitle[] = "ハイスコア";
inline constexpr char kHighScoreHeading[] = "現在の最高得点は";
inline constexpr char kAfterName[] = "さん　";
inline constexpr char kAfterScore[] = "点";

// The About box: the heading, the maker after kMadeBy, the address after kAddressLabel.
inline constexpr char kAboutTitle[] = "バージョン情報";
inline constexpr char kAboutHeading[] = "ポロテン　　Ver 1.0";
inline constexpr char kMadeBy[] = "制作　";
inline constexpr char kMaker[] = "poroten project";
inline constexpr char kAddressLabel[] = "URL：";
inline constexpr char kWebAddress[] = "https://poroten.example/";

}  // namespace poroten::menu

namespace poroten::highscore {

// The name window.
inline constexpr char kNameCaption[] = "ﾀﾞｲｱﾛｸﾞ ｷｬﾌﾟｼｮﾝ";
inline constexpr char kNamePrompt[] = "名前を入力してください";
inline constexpr char kOkButton[] = "OK";
inline constexpr char kCancelButton[] = "ｷｬﾝｾﾙ";

// The first line of the box that tells a save failed; each place and its reason follow.
inline constexpr char kSaveFailed[] = "ハイスコアを保存できませんでした。";

}  // namespace poroten::highscore

namespace poroten::platform::win32 {

// Shown by Windows beside the program while a log-off waits for its save.
inline constexpr char kSavingBeforeEnding[] = "ハイスコアを保存しています";

}  // namespace poroten::platform::win32

namespace poroten::platform::web {

// The page's own: a window's close box and its name, a message box's button,
// the on-screen keypad's name and its Return key, and what stays on the page
// once the program has ended: the page's title followed by kEnded, and a
// button that loads the game again.
inline constexpr char kCloseBox[] = "×";
inline constexpr char kCloseLabel[] = "閉じる";
inline constexpr char kBoxOk[] = "OK";
inline constexpr char kKeypadLabel[] = "数字キー";
inline constexpr char kReturnKey[] = "リターン";
inline constexpr char kEnded[] = "を終了しました。";
inline constexpr char kPlayAgain[] = "もう一度遊ぶ";

}  // namespace poroten::platform::web
