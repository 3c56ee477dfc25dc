// xprobe: the benchmark's small measuring tool. All times are
// CLOCK_MONOTONIC microseconds, the clock the sample service logs in.
//
//   xprobe now
//       prints the time.
//   xprobe launch [--name TITLE] -- COMMAND ARGS...
//       watches the root window for MapNotify, then starts COMMAND and prints
//       "pid P", "start T0" and, once the first matching top-level window is
//       mapped, "mapped T1" (a window whose WM_NAME or _NET_WM_NAME is TITLE;
//       without --name, any non-override-redirect window whose _NET_WM_PID is
//       P). Then it waits for COMMAND to end.
//   xprobe click X Y
//       moves the pointer to (X, Y), prints the time and clicks button 1
//       there through XTest, like xdotool click.
//   xprobe pss PID
//       prints the summed Pss (KiB) of PID and all its descendants, and how
//       many processes that is.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

long long now_us() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

int usage() {
    std::fprintf(stderr,
                 "usage: xprobe now | launch [--name TITLE] -- CMD... | click X Y | pss PID\n");
    return 2;
}

Display* open_display() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "xprobe: cannot open the display\n");
        std::exit(1);
    }
    return display;
}

std::optional<std::string> window_name(Display* display, Window window) {
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, net_name, 0, 4096, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && type == utf8) {
        std::string name(reinterpret_cast<char*>(data), count);
        XFree(data);
        return name;
    }
    if (data != nullptr) XFree(data);
    char* plain = nullptr;
    if (XFetchName(display, window, &plain) && plain != nullptr) {
        std::string name(plain);
        XFree(plain);
        return name;
    }
    return std::nullopt;
}

std::optional<long> window_pid(Display* display, Window window) {
    Atom pid_atom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(display, window, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) XFree(data);
    return pid;
}

int ignore_x_errors(Display*, XErrorEvent*) {
    return 0;
}

int launch(int argc, char** argv) {
    std::optional<std::string> title;
    int i = 0;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--name") == 0 && i + 1 < argc) {
            title = argv[++i];
        } else if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        } else {
            return usage();
        }
    }
    if (i >= argc) return usage();
    char** command = argv + i;

    Display* display = open_display();
    XSetErrorHandler(ignore_x_errors);  // a window may be gone before we read it
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    long long start = now_us();
    pid_t pid = fork();
    if (pid < 0) {
        std::perror("xprobe: fork");
        return 1;
    }
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(command[0], command);
        std::perror("xprobe: exec");
        _exit(127);
    }
    std::printf("pid %d\nstart %lld\n", pid, start);
    std::fflush(stdout);

    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || event.xmap.override_redirect) continue;
        long long mapped = now_us();
        Window window = event.xmap.window;
        bool matches = false;
        if (title) {
            auto name = window_name(display, window);
            matches = name && *name == *title;
        } else {
            auto owner = window_pid(display, window);
            matches = owner && *owner == pid;
        }
        if (matches) {
            std::printf("mapped %lld\n", mapped);
            std::fflush(stdout);
            break;
        }
    }
    XCloseDisplay(display);
    int status = 0;
    waitpid(pid, &status, 0);
    return 0;
}

int click(int argc, char** argv) {
    if (argc != 2) return usage();
    int x = std::atoi(argv[0]);
    int y = std::atoi(argv[1]);
    Display* display = open_display();
    int event_base, error_base, major, minor;
    if (!XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
        std::fprintf(stderr, "xprobe: no XTest extension\n");
        return 1;
    }
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
    usleep(20000);  // the motion is handled before the press, as after xdotool mousemove
    long long at = now_us();
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    std::printf("%lld\n", at);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}

long pss_of(pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    while (std::getline(rollup, line)) {
        if (line.rfind("Pss:", 0) == 0) return std::atol(line.c_str() + 4);
    }
    return 0;
}

int pss(int argc, char** argv) {
    if (argc != 1) return usage();
    pid_t top = std::atoi(argv[0]);
    std::multimap<pid_t, pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        std::getline(stat, text);
        auto close = text.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(text.substr(close + 2));
        char state;
        pid_t parent;
        rest >> state >> parent;
        children.emplace(parent, std::atoi(name.c_str()));
    }
    long total = 0;
    int processes = 0;
    std::vector<pid_t> pending{top};
    while (!pending.empty()) {
        pid_t pid = pending.back();
        pending.pop_back();
        total += pss_of(pid);
        ++processes;
        auto [first, last] = children.equal_range(pid);
        for (auto it = first; it != last; ++it) pending.push_back(it->second);
    }
    std::printf("%ld %d\n", total, processes);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string mode = argv[1];
    if (mode == "now") {
        std::printf("%lld\n", now_us());
        return 0;
    }
    if (mode == "launch") return launch(argc - 2, argv + 2);
    if (mode == "click") return click(argc - 2, argv + 2);
    if (mode == "pss") return pss(argc - 2, argv + 2);
    return usage();
}
