// SPDX-License-Identifier: GPL-3.0-or-later
// Processor time of one typed key in the real main window (offscreen), panes and repaint
// included: over lessons of 1 KB, 100 KB and 10 MB, and over lessons whose lines are 70
// characters, 2,000 characters and 1 MB long. Also the time and peak memory of opening a
// 50 MB lesson, one line or short lines, each in a process of its own.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "PeakMemory.h"
#include "WindowBench.h"
#include "app/Application.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/Fonts.h"
#include "platform/Startup.h"
#include "practice/Keyboard.h"
#include "practice/TextPane.h"

namespace {

constexpr const char* kOpenFlag = "--open-lesson";

// A lesson of words in lines of about `lineLength` characters, `bytes` long in all.
std::string LessonText(size_t bytes, size_t lineLength = 58) {
  static const char* kWords[] = {"alma", "k\xF6rte", "szilva", "f\xFCge", "di\xF3", "asdf"};
  std::string text = "Benchmark\r\n", line;
  text.reserve(bytes + lineLength + 16);
  size_t word = 0;
  while (text.size() + line.size() < bytes) {
    line += kWords[word++ % std::size(kWords)];
    line += ' ';
    if (line.size() >= lineLength) {
      text += line + "\r\n";
      line.clear();
    }
  }
  if (!line.empty()) text += line + "\r\n";
  return text;
}

void SendKey(QWidget* target, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

// A pane of the main window, by its component name.
pekto::TextPane* Pane(const pekto::Tfrm_Main& window, const char* name) {
  return window.findChild<pekto::TextPane*>(QString::fromLatin1(name));
}

// Shows the window and runs the events until it has finished its start, the lesson named on its
// command line loaded (or ten seconds have passed).
void ShowStarted(pekto::Tfrm_Main& window) {
  QEventLoop loop;
  QObject::connect(&window, &pekto::Tfrm_Main::started, &loop, &QEventLoop::quit);
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  window.show();
  if (!window.IsStarted()) loop.exec();
}

// A main window on its own data folder with a lesson file loaded from the command line.
struct BenchWindow {
  QTemporaryDir dir;
  std::unique_ptr<pekto::Tfrm_Main> window;

  explicit BenchWindow(const std::string& text) {
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    pekto::Startup() = pekto::ComputeFolders(dir.path().toStdString());
    const auto lesson = std::filesystem::path(dir.path().toStdString()) / "bench.lck";
    std::ofstream(lesson, std::ios::binary) << text;
    window =
        std::make_unique<pekto::Tfrm_Main>(QStringList{QString::fromStdString(lesson.string())});
    ShowStarted(*window);
    Pane(*window, "SynEdit1")->setFocus();
  }
  ~BenchWindow() { window->close(); }
};

// Types the lesson of the window, key after key, Enter at each line end.
void TypeLesson(benchmark::State& state, pekto::Tfrm_Main& window) {
  QWidget* pane = Pane(window, "SynEdit1");
  size_t line = 0, column = 0;
  const auto lines = Pane(window, "SynEdit2")->Lines();
  for (auto _ : state) {
    const std::string& current = lines[line % lines.size()];
    if (column < current.size()) {
      SendKey(pane, Qt::Key_A, QString(QChar(static_cast<unsigned char>(current[column]))));
      ++column;
    } else {
      SendKey(pane, Qt::Key_Return, QStringLiteral("\r"));
      column = 0;
      ++line;
    }
    QApplication::processEvents();  // the repaint the key causes
    if (!window.State().ExerciseActive) {
      state.SkipWithError("lesson ended");
      break;
    }
  }
}

void BM_KeyInMainWindow(benchmark::State& state) {
  pekto::bench::ResetPeakMemory();
  BenchWindow bench(LessonText(static_cast<size_t>(state.range(0))));
  TypeLesson(state, *bench.window);
  state.counters["peak_MiB"] = pekto::bench::PeakMemoryMiB();
}
BENCHMARK(BM_KeyInMainWindow)
    ->Arg(1 << 10)
    ->Arg(100 << 10)
    ->Arg(10 << 20)
    ->Iterations(600)
    ->Unit(benchmark::kMicrosecond);

// A 1 KB lesson without (range(0) = 0) and with (1) the on-screen keyboard, which lights the next
// key at every key: the difference is what the keyboard costs a key.
void BM_KeyWithKeyboard(benchmark::State& state) {
  BenchWindow bench(LessonText(1 << 10));
  if (state.range(0) != 0) {
    const auto bundled = pekto::KeyboardFile(
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
    std::filesystem::create_directories(pekto::KeyboardFile(pekto::BundleDir()).parent_path());
    std::filesystem::copy_file(bundled, pekto::KeyboardFile(pekto::BundleDir()));
    bench.window->findChild<QAction*>(QStringLiteral("aBillentyuzet"))->trigger();
    QApplication::processEvents();
    if (bench.window->findChild<QWidget*>(QStringLiteral("Billentyuzet")) == nullptr) {
      state.SkipWithError("no keyboard");
      return;
    }
  }
  TypeLesson(state, *bench.window);
}
BENCHMARK(BM_KeyWithKeyboard)
    ->ArgName("keyboard")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(600)
    ->Unit(benchmark::kMicrosecond);

// Lines of range(0) characters. With range(1) set the typing pane already holds a line of that
// length, as after typing that much of a long paragraph, and the keys go on at its end.
void BM_KeyAtLineLength(benchmark::State& state) {
  const auto length = static_cast<size_t>(state.range(0));
  BenchWindow bench(LessonText(length + (64 << 10), length));
  if (state.range(1) != 0) {
    const std::string text = LessonText(length + 16, length);  // a paragraph of words
    const size_t start = text.find('\n') + 1;
    Pane(*bench.window, "SynEdit1")->AppendLine(text.substr(start, text.find('\r', start) - start));
    QApplication::processEvents();
  }
  TypeLesson(state, *bench.window);
}
BENCHMARK(BM_KeyAtLineLength)
    ->ArgNames({"line", "typed"})
    ->Args({70, 0})
    ->Args({2000, 0})
    ->Args({1 << 20, 0})
    ->Args({50 << 20, 0})
    ->Args({2000, 1})
    ->Args({1 << 20, 1})
    ->Iterations(600)
    ->Unit(benchmark::kMicrosecond);

// ---- opening a large lesson, in a process of its own ----------------------------------------

// In the child: opens the lesson in a main window, paints it, prints the seconds taken.
int OpenLessonOnce(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::string lesson = argv[2];
  pekto::Application app(argc, argv);
  pekto::InstallFontSubstitutions();
  QTemporaryDir dir;
  qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
  pekto::Startup() = pekto::ComputeFolders(dir.path().toStdString());
  const auto start = std::chrono::steady_clock::now();
  pekto::Tfrm_Main window(QStringList{QString::fromStdString(lesson)});
  ShowStarted(window);
  window.repaint();
  const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
  const bool loaded = window.State().ExerciseActive;
  std::printf("%s %.6f\n", loaded ? "opened" : "failed", taken.count());
  std::fflush(stdout);
  std::_Exit(0);  // the figures are taken; tearing down a large document is not part of them
}

struct OpenRun {
  double seconds = -1;
  long peakKiB = 0;
};

OpenRun SpawnOpen(const std::string& lesson) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    execl(self.c_str(), self.c_str(), kOpenFlag, lesson.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  OpenRun run;
  if (FILE* out = fdopen(fds[0], "r")) {
    char word[16] = {};
    double seconds = 0;
    if (std::fscanf(out, "%15s %lf", word, &seconds) == 2 && std::strcmp(word, "opened") == 0) {
      run.seconds = seconds;
    }
    std::fclose(out);
  }
  int status = 0;
  rusage usage{};
  if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) run.peakKiB = usage.ru_maxrss;
  return run;
}

// range(0): the length of the lines of a 50 MB lesson (0 for one single line).
void BM_OpenLesson(benchmark::State& state) {
  constexpr size_t kSize = 50 << 20;
  const auto lineLength = state.range(0) == 0 ? kSize : static_cast<size_t>(state.range(0));
  QTemporaryDir dir;
  const std::string lesson = (std::filesystem::path(dir.path().toStdString()) / "big.lck");
  std::ofstream(lesson, std::ios::binary) << LessonText(kSize, lineLength);
  long peak = 0;
  for (auto _ : state) {
    const OpenRun run = SpawnOpen(lesson);
    if (run.seconds < 0) {
      state.SkipWithError("the lesson did not open");
      break;
    }
    state.SetIterationTime(run.seconds);
    peak = std::max(peak, run.peakKiB);
  }
  state.counters["peak_MiB"] = static_cast<double>(peak) / 1024.0;
  state.counters["lesson_MiB"] = static_cast<double>(std::filesystem::file_size(lesson)) / 1048576;
}
BENCHMARK(BM_OpenLesson)
    ->ArgName("line")
    ->Arg(0)
    ->Arg(70)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kOpenFlag) == 0) return OpenLessonOnce(argc, argv);
  return pekto::bench::RunOffscreen(argc, argv);
}
