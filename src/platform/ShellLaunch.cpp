// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ShellLaunch.h"

#include <utility>

#ifdef _WIN32
// clang-format off
#include <windows.h>  // first: shellapi.h builds on its types
#include <shellapi.h>
// clang-format on
#else
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <system_error>

#include "platform/QtText.h"
#endif

namespace pekto {
namespace {

ShellHook& Hook() {
  static ShellHook hook;
  return hook;
}

#ifdef _WIN32

ShellExecuteCall& ExecuteCall() {
  static ShellExecuteCall call;
  return call;
}

bool Execute(SHELLEXECUTEINFOW& info) {
  if (const ShellExecuteCall& call = ExecuteCall()) return call(info);
  return ShellExecuteExW(&info) != FALSE;
}

// The process of the last launch, when the shell gave one; closed at the next launch.
HANDLE& LastProcess() {
  static HANDLE process = nullptr;
  return process;
}

bool Launch(const QString& target, const std::filesystem::path& workDir) {
  if (LastProcess() != nullptr) {
    CloseHandle(LastProcess());
    LastProcess() = nullptr;
  }
  const std::wstring file = target.toStdWString();
  const std::wstring directory = workDir.wstring();
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = GetActiveWindow();  // owner of whatever the shell shows
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = nullptr;
  info.lpDirectory = directory.c_str();
  info.nShow = SW_SHOW;
  // A failure to show the target is the shell's to report; the program goes on as it was.
  if (!Execute(info)) return GetLastError() != ERROR_NO_ASSOCIATION;
  if (info.hProcess != nullptr) LastProcess() = info.hProcess;
  return true;
}

#else

// "mailto:…", "https://…": a scheme of two letters or more (a drive letter is not one).
bool IsAddress(const QString& target) {
  const QUrl url(target);
  return url.isValid() && url.scheme().size() > 1;
}

bool Launch(const QString& target, const std::filesystem::path& workDir) {
  if (IsAddress(target)) return QDesktopServices::openUrl(QUrl(target));
  const std::filesystem::path path = ToPath(target);
  std::error_code ec;
  // A program beside ours is started in the working folder, as the shell would; anything else,
  // or a program that cannot start here, goes to the desktop's opener.
  if (path.extension() == ".exe" && std::filesystem::is_regular_file(path, ec) &&
      QProcess::startDetached(target, {}, FromPath(workDir))) {
    return true;
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(target));
}

#endif

}  // namespace

ShellHook SetShellHook(ShellHook hook) {
  return std::exchange(Hook(), std::move(hook));
}

#ifdef _WIN32
ShellExecuteCall SetShellExecuteCall(ShellExecuteCall call) {
  return std::exchange(ExecuteCall(), std::move(call));
}
#endif

bool ShellOpen(const QString& target, const std::filesystem::path& workDir) {
  if (const ShellHook& hook = Hook()) return hook(target, workDir);
  return Launch(target, workDir);
}

QString NoOpenerMessage(const QString& target) {
  QString program = QStringLiteral("program");
  if (target.startsWith(QStringLiteral("mailto:"))) {
    program = QStringLiteral("levelezőprogram");
  } else if (target.startsWith(QStringLiteral("http")) || target.endsWith(QStringLiteral(".htm")) ||
             target.endsWith(QStringLiteral(".html"))) {
    program = QStringLiteral("böngésző");
  }
  return QStringLiteral("Nincs beállítva ") + program +
         QStringLiteral(", amely megnyitná ezt: \"") + target + QStringLiteral("\".");
}

}  // namespace pekto
