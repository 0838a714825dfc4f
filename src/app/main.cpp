// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: start-up values, the application object, the main window, the message loop.

#include "app/Application.h"
#include "app/Main.h"
#include "platform/Fonts.h"
#include "platform/Startup.h"

int main(int argc, char* argv[]) {
  pekto::BeginFontSetup();
  pekto::InitStartupFolders();
  pekto::Application app(argc, argv);
  pekto::CaptureWorkArea();

  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  pekto::Tfrm_Main frm_Main(arguments);
  frm_Main.show();
  return QCoreApplication::exec();
}
