// Start-up time of the player under X: from the start of the process to its
// first top-level window being mapped, and to that window's first paint
// (what a user waits for: half its area on screen differs from what was
// there before the start), against the same Qt showing an empty
// QMainWindow; and, with a recording on the command line, to its first frame
// on screen (the screen shows clearly more strongly coloured pixels than the
// player's own window does). The programs run in turn (peer, player, player
// with the recording, peer, ...) and each figure is the median of its runs;
// CPU is that of all the child's threads when its window was mapped. Without
// --file a 10-second D1 recording is made with kvxwrite. Needs DISPLAY (Xvfb).
// A smoke run (--benchmark_min_time below 0.5, --smoke or
// LUMIVEX_BENCH_SMOKE=1) runs each once, without a recording.
//   bench_startup [--program PATH] [--file RECORDING] [--runs N]

#include <QApplication>
#include <QMainWindow>

// After Qt: Xlib defines names Qt's headers use.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Support/BenchRun.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeoutMs = 20000;
constexpr int kFullRuns = 7;

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

// CPU milliseconds all threads of the process have run so far (scheduler
// figures, in nanoseconds), or -1.
double ProcessCpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* folder = ::opendir(tasks.c_str());
    if (!folder)
        return -1;
    double ns = 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
        double runNs = 0;
        if (schedstat >> runNs)
            ns += runNs;
    }
    ::closedir(folder);
    return ns / 1e6;
}

struct Timing {
    double ms = -1;       // to the window (or the first frame)
    double cpuMs = -1;    // the child's CPU when its window was mapped
    double paintMs = -1;  // to the window's first paint
};

XImage* GrabScreen(Display* display)
{
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    return XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
}

// True when at least half of the window's area on screen (every fourth
// pixel in both directions) differs from the screen before.
bool WindowPainted(Display* display, Window window, const XImage& before)
{
    XWindowAttributes attributes{};
    int x = 0;
    int y = 0;
    Window child = 0;
    if (!XGetWindowAttributes(display, window, &attributes) ||
        !XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child))
        return false;
    const int left = std::max(0, x), top = std::max(0, y);
    const int right = std::min(before.width, x + attributes.width);
    const int bottom = std::min(before.height, y + attributes.height);
    if (right <= left || bottom <= top)
        return false;
    XImage* now = XGetImage(display, DefaultRootWindow(display), left, top, unsigned(right - left),
                            unsigned(bottom - top), AllPlanes, ZPixmap);
    if (!now)
        return false;
    int changed = 0;
    int sampled = 0;
    for (int py = top; py < bottom; py += 4) {
        for (int px = left; px < right; px += 4) {
            ++sampled;
            if (XGetPixel(now, px - left, py - top) != XGetPixel(const_cast<XImage*>(&before), px, py))
                ++changed;
        }
    }
    XDestroyImage(now);
    return changed * 2 >= sampled;
}

pid_t Start(const std::vector<std::string>& command)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> args;
        for (const std::string& part : command)
            args.push_back(const_cast<char*>(part.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    return child;
}

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Waits for the first top-level window mapped after start; 0 on timeout.
Window WaitForMap(Display* display, Clock::time_point start)
{
    while (MsSince(start) <= kTimeoutMs) {
        if (!XPending(display)) {
            ::usleep(200);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect)
            return event.xmap.window;
    }
    return 0;
}

// Milliseconds from start to the window's first paint, or -1.
double WaitForPaint(Display* display, Window window, const XImage& before, Clock::time_point start)
{
    while (MsSince(start) <= kTimeoutMs) {
        if (WindowPainted(display, window, before))
            return MsSince(start);
        ::usleep(500);
    }
    return -1;
}

// Milliseconds from starting the command to the first top-level window it
// maps, or, with colouredAbove > 0, to the screen holding more strongly
// coloured pixels than that. settledColoured receives the count a second
// after the window was mapped. The process is ended with SIGTERM afterwards.
Timing TimeToFirstWindow(Display* display, const std::vector<std::string>& command, int colouredAbove = 0,
                         int* settledColoured = nullptr)
{
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);
    XImage* before = GrabScreen(display);
    const Clock::time_point start = Clock::now();
    const pid_t child = Start(command);
    Timing timing;
    const Window window = child > 0 && before ? WaitForMap(display, start) : 0;
    if (window) {
        timing.ms = MsSince(start);
        timing.cpuMs = ProcessCpuMs(child);
        timing.paintMs = WaitForPaint(display, window, *before, start);
    }
    if (before)
        XDestroyImage(before);
    while (timing.ms >= 0 && colouredAbove > 0) {
        timing.ms = MsSince(start);
        if (timing.ms > kTimeoutMs) {
            timing.ms = -1;
            break;
        }
        if (CountColouredPixels(display) > colouredAbove)
            break;
    }
    if (timing.ms >= 0 && settledColoured) {
        ::usleep(1000 * 1000);
        *settledColoured = CountColouredPixels(display);
    }
    if (child > 0) {
        ::kill(child, SIGTERM);
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    XSelectInput(display, root, NoEventMask);
    return timing;
}

// Median of the successful runs' figures; -1 when none succeeded.
double Median(std::vector<double> values)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }), values.end());
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Series {
    std::vector<double> ms;
    std::vector<double> cpuMs;
    std::vector<double> paintMs;
    void Add(const Timing& timing)
    {
        ms.push_back(timing.ms);
        cpuMs.push_back(timing.cpuMs);
        paintMs.push_back(timing.paintMs);
    }
};

// A 10-second D1 recording made by kvxwrite in the work folder; empty on failure.
std::string MakeRecording()
{
    const std::string folder = BENCH::WorkFolder() + "/startup";
    std::filesystem::create_directories(folder);
    const std::string command = std::string(LUMIVEX_KVXWRITE) + " --seconds 10 '" + folder + "' 2>/dev/null";
    FILE* output = ::popen(command.c_str(), "r");
    if (!output)
        return {};
    char line[4096] = {};
    std::string path;
    while (std::fgets(line, sizeof line, output))
        path = line;
    ::pclose(output);
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
        path.pop_back();
    return std::filesystem::exists(path) ? path : std::string();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--empty-window") == 0)
        return ShowEmptyWindow(argc, argv);
    BENCH::ParseArguments(argc, argv);
    std::string program = LUMIVEX_PROGRAM;
    std::string file;
    int runs = BENCH::Pick(kFullRuns, 1);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--program") == 0)
            program = argv[++i];
        else if (std::strcmp(argv[i], "--file") == 0)
            file = argv[++i];
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[++i]));
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
    if (file.empty() && !BENCH::IsSmoke())
        file = MakeRecording();

    Series empty, player, firstFrame;
    int windowColoured = -1;
    for (int run = 0; run < runs; ++run) {
        empty.Add(TimeToFirstWindow(display, {self, "--empty-window"}));
        player.Add(TimeToFirstWindow(display, {program}, 0, windowColoured < 0 ? &windowColoured : nullptr));
        if (!file.empty() && windowColoured >= 0)
            firstFrame.Add(TimeToFirstWindow(display, {program, file}, windowColoured + 150));
    }
    XCloseDisplay(display);
    BENCH::RemoveWorkFolder();

    const double emptyMs = Median(empty.ms), playerMs = Median(player.ms);
    const double emptyCpu = Median(empty.cpuMs), playerCpu = Median(player.cpuMs);
    std::printf("median of %d runs each, in turn\n", runs);
    std::printf("empty QMainWindow shown      %8.1f ms  CPU %6.1f ms\n", emptyMs, emptyCpu);
    std::printf("player main window shown     %8.1f ms  CPU %6.1f ms  (%.2f x / CPU %.2f x the empty window)\n",
                playerMs, playerCpu, emptyMs > 0 ? playerMs / emptyMs : 0.0,
                emptyCpu > 0 ? playerCpu / emptyCpu : 0.0);
    const double emptyPaint = Median(empty.paintMs), playerPaint = Median(player.paintMs);
    std::printf("empty QMainWindow painted    %8.1f ms\n", emptyPaint);
    std::printf("player main window painted   %8.1f ms  (%.2f x the empty window)\n", playerPaint,
                emptyPaint > 0 ? playerPaint / emptyPaint : 0.0);
    if (!file.empty())
        std::printf("player with a recording: first frame %8.1f ms\n", Median(firstFrame.ms));
    return emptyMs > 0 && playerMs > 0 ? 0 : 1;
}
