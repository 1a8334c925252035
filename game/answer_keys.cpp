#include "game/answer_keys.h"

namespace poroten::game {

std::optional<int> answerDigit(char32_t character) {
    if (character >= U'0' && character <= U'9') {
        return static_cast<int>(character - U'0');
    }
    if (character >= U'\uFF10' && character <= U'\uFF19') {
        return static_cast<int>(character - U'\uFF10');
    }
    return std::nullopt;
}

}  // namespace poroten::game
