// Start-up time of the player under X: from the start of the process to its
// first top-level window being mapped, against the same Qt showing an empty
// QMainWindow; and, with a recording on the command line, to its first frame
// on screen (the screen shows clearly more strongly coloured pixels than the
// player's own window does). One run of each; needs DISPLAY (Xvfb). Flags of
// Google Benchmark (as given by CI's smoke run) are accepted and ignored.
//   bench_startup [--program PATH] [--file RECORDING]

#include <QApplication>
#include <QMainWindow>

// After Qt: Xlib defines names Qt's headers use.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// Strongly coloured pixels of the screen, every fourth in both directions.
int CountColouredPixels(Display* display)
{
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    int count = 0;
    for (int y = 0; y < attributes.height; y += 4) {
        for (int x = 0; x < attributes.width; x += 4) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const int r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
            const int spread = std::max({r, g, b}) - std::min({r, g, b});
            if (spread > 100)
                ++count;
        }
    }
    XDestroyImage(image);
    return count;
}

// Milliseconds from starting the command to the first top-level window it
// maps, or, with colouredAbove > 0, to the screen holding more strongly
// coloured pixels than that; -1 on failure. settledColoured receives the
// count a second after the window was mapped. The process is ended with
// SIGTERM afterwards.
double TimeToFirstWindow(Display* display, const std::vector<std::string>& command, int colouredAbove = 0,
                         int* settledColoured = nullptr)
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
    while (ms >= 0 && colouredAbove > 0) {
        ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (ms > kTimeoutMs) {
            ms = -1;
            break;
        }
        if (CountColouredPixels(display) > colouredAbove)
            break;
    }
    if (ms >= 0 && settledColoured) {
        ::usleep(1000 * 1000);
        *settledColoured = CountColouredPixels(display);
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
    int windowColoured = 0;
    const double player = TimeToFirstWindow(display, {program}, 0, &windowColoured);
    std::printf("empty QMainWindow shown      %8.1f ms\n", empty);
    std::printf("player main window shown     %8.1f ms  (%.2f x the empty window)\n", player,
                empty > 0 ? player / empty : 0.0);
    if (!file.empty()) {
        // The player's own window, then the recording's picture in a grid cell.
        const double firstFrame = TimeToFirstWindow(display, {program, file}, windowColoured + 150);
        std::printf("player with a recording: first frame %8.1f ms\n", firstFrame);
    }
    XCloseDisplay(display);
    return empty > 0 && player > 0 ? 0 : 1;
}
