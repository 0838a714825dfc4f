// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of Pekto's stack: a bare Qt Widgets window of Pekto's size holding one editable
// plain-text pane and nothing else. Whatever Pekto costs beyond this program is Pekto's own;
// bench/xspeed.sh measures both the same way.
#include <QApplication>
#include <QMainWindow>
#include <QPlainTextEdit>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("pekto_floor"));
  window.setCentralWidget(new QPlainTextEdit(&window));  // the window owns the pane
  window.resize(774, 598);
  window.show();
  return QApplication::exec();
}
