// The browser build's start-up: the page keeps running after main returns,
// so the game lives as long as the page.
#include "game/game_window.h"
#include "highscore/high_score_store.h"
#include "platform/web/web_platform.h"

int main() {
    auto* platform = new poroten::platform::web::WebPlatform;
    auto* store = new poroten::highscore::Module1(platform->files(), platform->codec(),
                                                  platform->messageBoxes());
    new poroten::game::Form1(platform->services(), *store);
    return 0;
}
