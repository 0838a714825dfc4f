#pragma once
// The results window: the recorded scores of one lesson at a time, best first.

#include <cstdint>
#include <string>

class QWidget;

namespace pekto {

// Opens the results window modally on the lesson `title` (Windows-1250; empty for the first
// lesson of the list), with the score row `highlightId` painted (-1 for none).
void ShowResults(const std::string& title, int32_t highlightId, QWidget* owner);

}  // namespace pekto
