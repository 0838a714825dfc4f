#pragma once
// The evaluation after an exercise: the result, the player's name, the new score row and the
// results window.

#include <cstdint>
#include <string>

class QWidget;

namespace pekto {

// Shows the result of an exercise (Windows-1250 title), asks for the player, records the score
// and opens the results window; returns when all of them have closed.
void ShowEvaluation(const std::string& title, int32_t total, int32_t correct, int32_t wrong,
                    int32_t seconds, QWidget* owner);

}  // namespace pekto
