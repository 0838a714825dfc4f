// SPDX-License-Identifier: GPL-3.0-or-later
// Lesson files of any bytes: reading either yields a lesson or fails with pekto::Error, and a
// lesson that was read is written and read back unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/Error.h"
#include "practice/LessonFile.h"

namespace {

bool HasLineBreak(std::string_view line) {
  return line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pekto;
  static const fuzz::ScratchFile input("input.lck");
  static const fuzz::ScratchFile output("output.lck");
  Lesson lesson;
  try {
    lesson = ReadLessonFile(input.Write(fuzz::Bytes(data, size)));
  } catch (const Error&) {
    return 0;
  }
  if (HasLineBreak(lesson.title)) fuzz::Fail("a title holds a line break");
  for (const auto& line : lesson.lines) {
    if (HasLineBreak(line)) fuzz::Fail("a text line holds a line break");
  }
  const std::string title = TrimTitle(lesson.title);
  if (!title.empty() && (static_cast<unsigned char>(title.front()) < 33 ||
                         static_cast<unsigned char>(title.back()) < 33)) {
    fuzz::Fail("a trimmed title keeps a blank at its ends");
  }
  WriteLessonFile(output.Path(), lesson);
  const Lesson again = ReadLessonFile(output.Path());
  if (again.title != lesson.title || again.lines != lesson.lines) {
    fuzz::Fail("a lesson written and read back differs");
  }
  return 0;
}
