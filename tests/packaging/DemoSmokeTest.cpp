// The demo copy (scripts/demo --prepare) against the simulator on a virtual
// X display: it must show its branded main window under its own window
// class (the demo is a product of its own, quorvane-demo) and end cleanly,
// with status 0, when the window is asked to close as a window manager's
// close button asks.
#include <gtest/gtest.h>
#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "support/RunningChild.h"

// After gtest: Xlib defines macros such as None, Bool and Status.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace quorvane;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path kSource = QUORVANE_TEST_SOURCE_DIR;
const fs::path kDemo = kSource / "build-demo";
constexpr char kTitle[] = "Quorvane Demo v2.0";
// The demo's package and command name (docs/demo/identity.ini): desktops
// match the window with the desktop entry of that name by its class.
constexpr char kCommand[] = "quorvane-demo";

// As root, the simulator's fixed port (built into the demo copy) lives in
// a network namespace of this test's own, so that a demo or another test
// run on the same machine cannot take it.
std::string PrivateLoopback() {
  if (geteuid() != 0) return "not root";
  if (::unshare(CLONE_NEWNET) != 0) return std::string("unshare: ") + std::strerror(errno);
  const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  const bool up = s >= 0 && ::ioctl(s, SIOCGIFFLAGS, &request) == 0 &&
                  (request.ifr_flags |= IFF_UP, ::ioctl(s, SIOCSIFFLAGS, &request) == 0);
  if (s >= 0) ::close(s);
  return up ? "" : std::string("loopback: ") + std::strerror(errno);
}

std::string WindowName(Display* display, Window window) {
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string name;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    name.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return name;
}

// The sizes of the pictures in the window's _NET_WM_ICON (width, height,
// then the pixels, for each picture).
std::set<long> IconSizes(Display* display, Window window) {
  const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::set<long> sizes;
  if (XGetWindowProperty(display, window, icon, 0, 1 << 20, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data) {
    const auto* values = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i + 1 < count;) {
      const long w = values[i], h = values[i + 1];
      if (w <= 0 || h <= 0) break;
      sizes.insert(w == h ? w : -1);
      i += 2 + static_cast<unsigned long>(w * h);
    }
    XFree(data);
  }
  return sizes;
}

// A mapped top-level window with this title.
std::optional<Window> FindWindow(Display* display, const std::string& title) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  std::optional<Window> found;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
    return found;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, children[i], &attributes) &&
        attributes.map_state == IsViewable && WindowName(display, children[i]) == title)
      found = children[i];
  }
  if (children) XFree(children);
  return found;
}

// The window's WM_CLASS: instance name and class name.
std::pair<std::string, std::string> WindowClass(Display* display, Window window) {
  XClassHint hint{};
  std::pair<std::string, std::string> names;
  if (XGetClassHint(display, window, &hint)) {
    if (hint.res_name) names.first = hint.res_name;
    if (hint.res_class) names.second = hint.res_class;
    XFree(hint.res_name);
    XFree(hint.res_class);
  }
  return names;
}

// What a window manager sends when the user clicks the close button.
void AskToClose(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

// True once the child has ended; it stays unreaped, for RunningChild.
bool Ended(pid_t pid) {
  siginfo_t info{};
  return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == pid;
}

bool EndsWithin(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!Ended(pid)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

TEST(Demo, ShowsItsMainWindowAndClosesCleanly) {
  const fs::path program = kDemo / "demo" / kCommand;
  if (!fs::exists(program)) {
    if (std::getenv("QUORVANE_REQUIRE_DEMO")) FAIL() << program << " is missing";
    GTEST_SKIP() << "no demo copy: run scripts/demo --prepare first";
  }
  const std::string why = PrivateLoopback();
  if (!why.empty()) std::printf("demo test: the simulator's port is shared (%s)\n", why.c_str());

  RunningChild xvfb(
      {QUORVANE_TEST_XVFB, "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
  const auto number = xvfb.ReadLine(30s);
  ASSERT_TRUE(number && !number->empty()) << "Xvfb did not start";
  const std::string name = ":" + *number;
  ::setenv("DISPLAY", name.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  Display* display = XOpenDisplay(name.c_str());
  ASSERT_NE(display, nullptr) << "cannot open display " << name;

  RunningChild sim({(kDemo / "bin/quorvane-sim").string(), "--port", "47615", "--scenario",
                    (kSource / "docs/demo/demo.scenario").string(), "--quiet"});
  const auto listening = sim.ReadLine(30s);
  ASSERT_TRUE(listening &&
              listening->find("listening on http://127.0.0.1:47615") != std::string::npos)
      << "the simulator did not start (is port 47615 taken?)";

  RunningChild demo({program.string()});
  std::optional<Window> window;
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!window && std::chrono::steady_clock::now() < deadline) {
    if (Ended(demo.Pid()))
      FAIL() << "the demo ended before showing its window, wait status " << demo.KillAndWait(0);
    window = FindWindow(display, kTitle);
    if (!window) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(window) << "no window \"" << kTitle << "\" within 60 s";
  // The brand's main.ico became the window icon, every picture of it.
  const auto deadlineIcon = std::chrono::steady_clock::now() + 10s;
  std::set<long> sizes;
  while ((sizes = IconSizes(display, *window)) != std::set<long>{16, 32, 48} &&
         std::chrono::steady_clock::now() < deadlineIcon)
    std::this_thread::sleep_for(100ms);
  EXPECT_EQ(sizes, (std::set<long>{16, 32, 48}));
  EXPECT_EQ(WindowClass(display, *window),
            std::make_pair(std::string(kCommand), std::string(kCommand)));

  AskToClose(display, *window);
  ASSERT_TRUE(EndsWithin(demo.Pid(), 30s))
      << "the demo did not end within 30 s of the close request";
  const int status = demo.KillAndWait(0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  XCloseDisplay(display);

  ASSERT_FALSE(Ended(sim.Pid())) << "the simulator ended by itself";
  const int simStatus = sim.KillAndWait(SIGTERM);
  EXPECT_TRUE(WIFEXITED(simStatus) && WEXITSTATUS(simStatus) == 0) << "wait status " << simStatus;
}

}  // namespace
