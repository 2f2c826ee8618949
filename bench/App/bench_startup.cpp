// Start-up time of the player under X: from the start of the process to its
// first top-level window being mapped, against the same Qt showing an empty
// QMainWindow. One run of each; needs DISPLAY (Xvfb). Flags of Google
// Benchmark (as given by CI's smoke run) are accepted and ignored.
//   bench_startup [--program PATH] [--file RECORDING]

#include <QApplication>
#include <QMainWindow>

// After Qt: Xlib defines names Qt's headers use.
#include <X11/Xlib.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeoutMs = 20000;

int ShowEmptyWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1000, 730);
    window.show();
    return app.exec();
}

// Milliseconds from starting the command to the first top-level window it
// maps; -1 on failure. The process is ended with SIGTERM afterwards.
double TimeToFirstWindow(Display* display, const std::vector<std::string>& command)
{
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);
    const Clock::time_point start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> args;
        for (const std::string& part : command)
            args.push_back(const_cast<char*>(part.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    double ms = -1;
    while (child > 0) {
        const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (elapsed > kTimeoutMs)
            break;
        if (!XPending(display)) {
            ::usleep(200);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    if (child > 0) {
        ::kill(child, SIGTERM);
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    XSelectInput(display, root, NoEventMask);
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--empty-window") == 0)
        return ShowEmptyWindow(argc, argv);
    std::string program = LUMIVEX_PROGRAM;
    std::string file;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--program") == 0)
            program = argv[++i];
        else if (std::strcmp(argv[i], "--file") == 0)
            file = argv[++i];
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::printf("bench_startup: no X display, nothing measured\n");
        return 0;
    }
    char self[4096] = {};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return 1;
    const double empty = TimeToFirstWindow(display, {self, "--empty-window"});
    const double player = TimeToFirstWindow(display, {program});
    std::printf("empty QMainWindow shown      %8.1f ms\n", empty);
    std::printf("player main window shown     %8.1f ms  (%.2f x the empty window)\n", player,
                empty > 0 ? player / empty : 0.0);
    if (!file.empty()) {
        const double withFile = TimeToFirstWindow(display, {program, file});
        std::printf("player with %s shown  %8.1f ms\n", file.c_str(), withFile);
    }
    XCloseDisplay(display);
    return empty > 0 && player > 0 ? 0 : 1;
}
