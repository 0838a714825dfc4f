// Processor time of one typed key in the real main window (offscreen), panes and repaint
// included, over lessons of 1 KB, 100 KB and 10 MB.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/Application.h"
#include "app/Main.h"
#include "app/Settings.h"
#include "platform/Fonts.h"
#include "platform/Startup.h"
#include "practice/TextPane.h"

namespace {

std::string LessonText(size_t bytes) {
  static const char* kWords[] = {"alma", "k\xF6rte", "szilva", "f\xFCge", "di\xF3", "asdf"};
  std::string text = "Benchmark\r\n", line;
  size_t word = 0;
  while (text.size() < bytes) {
    line += kWords[word++ % std::size(kWords)];
    line += ' ';
    if (line.size() >= 58) {
      text += line + "\r\n";
      line.clear();
    }
  }
  return text;
}

void SendKey(QWidget* target, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

void BM_KeyInMainWindow(benchmark::State& state) {
  QTemporaryDir dir;
  qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
  pekto::Startup() = pekto::ComputeFolders(dir.path().toStdString());
  const auto lesson = std::filesystem::path(dir.path().toStdString()) / "bench.lck";
  const std::string text = LessonText(static_cast<size_t>(state.range(0)));
  std::ofstream(lesson, std::ios::binary) << text;

  auto window =
      std::make_unique<pekto::Tfrm_Main>(QStringList{QString::fromStdString(lesson.string())});
  window->show();
  QApplication::processEvents();
  QWidget* pane = window->findChild<pekto::TextPane*>(QStringLiteral("SynEdit1"));
  pane->setFocus();
  size_t line = 0, column = 0;
  const auto lines = window->findChild<pekto::TextPane*>(QStringLiteral("SynEdit2"))->Lines();
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
    if (!window->State().ExerciseActive) {
      state.SkipWithError("lesson ended");
      break;
    }
  }
  window->close();
}
BENCHMARK(BM_KeyInMainWindow)
    ->Arg(1 << 10)
    ->Arg(100 << 10)
    ->Arg(10 << 20)
    ->Iterations(600)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  pekto::Application app(argc, argv);
  pekto::InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
