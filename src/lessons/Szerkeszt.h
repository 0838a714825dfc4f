#pragma once
// The lesson editor "Szerkesztés": writes a new lesson or changes an existing one.

#include <string>

class QWidget;

namespace pekto {

// Opens the editor modally on the lesson at `path` (Windows-1250), or on a new lesson when
// `path` is empty; returns when the editor has closed.
void EditLesson(const std::string& path, QWidget* owner);

}  // namespace pekto
