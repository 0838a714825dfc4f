// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program on the current X display and measures it the way a user sees it: the time
// from the exec to its window being mapped (the frame the window manager puts around it, or the
// window itself without one), and its resident memory a given time after the exec.
//
// Usage: pekto_xstart [--rss-after SECONDS] [--timeout SECONDS] -- PROGRAM [ARGUMENTS...]
// Prints one line once the window is mapped and the memory is read:
//   pid <pid> mapped_s <seconds> cpu_s <processor seconds until mapped> rss_kib <KiB>
// then stays until the program ends (so that the caller can end the program by its pid and
// this process reaps it), and exits with the program's status. The program's own standard
// output goes to standard error, keeping the report line alone.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  double rssAfter = 0;
  double timeout = 30;
  std::vector<char*> command;  // null-terminated for posix_spawnp
};

std::optional<Options> ParseOptions(int argc, char* argv[]) {
  Options options;
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (i + 1 >= argc) return std::nullopt;
    if (std::strcmp(argv[i], "--rss-after") == 0) {
      options.rssAfter = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--timeout") == 0) {
      options.timeout = std::atof(argv[++i]);
    } else {
      return std::nullopt;
    }
  }
  for (++i; i < argc; ++i) options.command.push_back(argv[i]);
  if (options.command.empty()) return std::nullopt;
  options.command.push_back(nullptr);
  return options;
}

// A window may vanish between its event and our questions about it; that is no error here.
int IgnoreXErrors(Display*, XErrorEvent*) {
  return 0;
}

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

std::optional<long> WindowPid(Display* display, Window window, Atom pidAtom) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::optional<long> pid;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &remaining, &data) == Success &&
      type == XA_CARDINAL && format == 32 && count == 1) {
    pid = *reinterpret_cast<long*>(data);
  }
  if (data != nullptr) XFree(data);
  return pid;
}

// Whether the window or one of its descendants (the client inside a frame) belongs to pid.
bool BelongsTo(Display* display, Window window, Atom pidAtom, pid_t pid, int depth = 0) {
  if (WindowPid(display, window, pidAtom) == pid) return true;
  if (depth >= 3) return false;
  Window rootReturn = None, parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, window, &rootReturn, &parent, &children, &count) == 0) return false;
  bool found = false;
  for (unsigned int i = 0; i < count && !found; ++i) {
    found = BelongsTo(display, children[i], pidAtom, pid, depth + 1);
  }
  if (children != nullptr) XFree(children);
  return found;
}

bool Exited(pid_t pid, int& status) {
  return waitpid(pid, &status, WNOHANG) == pid;
}

// Waits for a top-level window of pid to be mapped and returns when the server told so; nothing
// on timeout or when pid ends first.
std::optional<Clock::time_point> WaitForMap(Display* display, pid_t pid, Clock::time_point deadline,
                                            int& status) {
  const Window root = DefaultRootWindow(display);
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  while (Clock::now() < deadline) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      const auto received = Clock::now();  // before the questions about the window
      if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect &&
          BelongsTo(display, event.xmap.window, pidAtom, pid)) {
        return received;
      }
    }
    if (Exited(pid, status)) return std::nullopt;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, 20);
  }
  return std::nullopt;
}

// Processor time of the program's threads so far, in seconds, from the scheduler's running
// time in nanoseconds (the clock ticks of /proc/PID/stat are too coarse for a start-up).
double ProcessorSeconds(pid_t pid) {
  std::error_code ec;
  double seconds = 0;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
    std::ifstream schedstat(task.path() / "schedstat");
    long long runNs = 0;
    if (schedstat >> runNs) seconds += static_cast<double>(runNs) / 1e9;
  }
  return seconds;
}

long ResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

std::optional<pid_t> Spawn(const Options& options) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  pid_t pid = 0;
  const int result =
      posix_spawnp(&pid, options.command[0], &actions, nullptr, options.command.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return std::nullopt;
  return pid;
}

int ExitCode(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: pekto_xstart [--rss-after S] [--timeout S] -- PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  DisplayPtr display(XOpenDisplay(nullptr));
  if (!display) {
    std::fprintf(stderr, "pekto_xstart: cannot open the X display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreXErrors);
  XSelectInput(display.get(), DefaultRootWindow(display.get()), SubstructureNotifyMask);
  XSync(display.get(), False);

  const auto start = Clock::now();
  const std::optional<pid_t> pid = Spawn(*options);
  if (!pid) {
    std::fprintf(stderr, "pekto_xstart: cannot start %s\n", options->command[0]);
    return 2;
  }
  int status = 0;
  const auto deadline = start + std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(options->timeout));
  const std::optional<Clock::time_point> mappedAt =
      WaitForMap(display.get(), *pid, deadline, status);
  const double startCpu = mappedAt ? ProcessorSeconds(*pid) : 0;
  display.reset();  // nothing more to watch; the program runs on undisturbed
  if (!mappedAt) {
    std::fprintf(stderr, "pekto_xstart: %s mapped no window\n", options->command[0]);
    if (!Exited(*pid, status)) {
      kill(*pid, SIGTERM);
      waitpid(*pid, &status, 0);
    }
    return 3;
  }
  std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(options->rssAfter)));
  std::printf("pid %d mapped_s %.4f cpu_s %.3f rss_kib %ld\n", static_cast<int>(*pid),
              std::chrono::duration<double>(*mappedAt - start).count(), startCpu,
              ResidentKiB(*pid));
  std::fflush(stdout);
  waitpid(*pid, &status, 0);
  return ExitCode(status);
}
