// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one key step over lessons of growing size: it must not grow with the lesson.
#include <benchmark/benchmark.h>

#include "practice/Exercise.h"
#include "practice/MemoryPane.h"

namespace {

pekto::Lesson MakeLesson(size_t bytes) {
  static const std::string kWords[] = {"alma",
                                       "k\xF6rte",
                                       "szilva",
                                       "f\xFCge",
                                       "d\xF3"
                                       "di",
                                       "j\xE1t\xE9k",
                                       "asdf",
                                       "jkl\xE9"};
  pekto::Lesson lesson{"Benchmark", {}};
  size_t size = 0, word = 0;
  std::string line;
  while (size < bytes) {
    line += kWords[word++ % std::size(kWords)];
    line += ' ';
    if (line.size() >= 58) {
      size += line.size() + 2;
      lesson.lines.push_back(std::move(line));
      line.clear();
    }
  }
  return lesson;
}

void BM_KeyStep(benchmark::State& state) {
  const pekto::Lesson lesson = MakeLesson(static_cast<size_t>(state.range(0)));
  pekto::MemoryPane upper, lower;
  pekto::Exercise exercise(upper, lower);
  exercise.Load(lesson);
  size_t line = 0, column = 0;
  for (auto _ : state) {
    // Type the lesson right, with Enter at each line end and a wrong key now and then.
    const std::string& text = lesson.lines[line];
    unsigned char key = column < text.size() ? static_cast<unsigned char>(text[column]) : 13;
    if (column % 17 == 5) key = 'x';
    exercise.Key(key);
    benchmark::DoNotOptimize(exercise.EndReached());
    if (++column > text.size()) {
      column = 0;
      if (++line == lesson.lines.size()) {
        state.PauseTiming();
        exercise.Load(lesson);
        line = 0;
        state.ResumeTiming();
      }
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeyStep)->Arg(1 << 10)->Arg(100 << 10)->Arg(10 << 20);

void BM_LoadLesson(benchmark::State& state) {
  const pekto::Lesson lesson = MakeLesson(static_cast<size_t>(state.range(0)));
  pekto::MemoryPane upper, lower;
  pekto::Exercise exercise(upper, lower);
  for (auto _ : state) exercise.Load(lesson);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadLesson)
    ->Arg(1 << 10)
    ->Arg(100 << 10)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond);

}  // namespace
