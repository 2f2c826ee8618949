// Frames presented per second by a 36-window grid of 704x576 frames, through
// the Qt image path and through the renderer, offscreen. One iteration hands
// every window a frame and paints the grid; items are frames.
#include <benchmark/benchmark.h>

#include <vector>

#include <QApplication>

#include "Platform/Win32/Win32Types.h"
#include "VideoWidgets/SFQTVideoWindow.h"

namespace {

constexpr int kWidth = 704;
constexpr int kHeight = 576;
constexpr int kWindows = 36;

std::vector<BYTE> RgbFrame()
{
    std::vector<BYTE> bytes(static_cast<size_t>(kWidth) * kHeight * 4);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<BYTE>(i * 7);
    return bytes;
}

std::vector<BYTE> YuvFrame()
{
    std::vector<BYTE> bytes(static_cast<size_t>(kWidth) * kHeight * 3 / 2);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<BYTE>(16 + i % 220);
    return bytes;
}

struct Grid {
    explicit Grid(int width, int height) : window(VIDEOWINDOWMODE_NORMAL, nullptr, 8, 8)
    {
        window.Create(L"bench", tagRECT{0, 0, width, height}, nullptr, 1);
        window.SetDefaultLayout(LAYOUT_36, nullptr);
        window.show();
        for (int id = 0; id < kWindows; ++id)
            window.SetSubWinVideoByID(id, 1);
    }
    CSFQTVideoWindow window;
};

void BM_QtImagePath(benchmark::State& state)
{
    Grid grid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto frame = RgbFrame();
    for (auto _ : state) {
        for (int id = 0; id < kWindows; ++id)
            grid.window.RenderSubWin(id, frame.data(), RENDER_DATA_QIMAGE, kWidth, kHeight);
        grid.window.repaint();
    }
    state.SetItemsProcessed(state.iterations() * kWindows);
}

void BM_RendererPath(benchmark::State& state)
{
    Grid grid(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto frame = YuvFrame();
    for (auto _ : state) {
        for (int id = 0; id < kWindows; ++id)
            grid.window.RenderOffScreenSurface(id, frame.data(), kWidth, kHeight, 0, 0);
        grid.window.repaint();
    }
    state.SetItemsProcessed(state.iterations() * kWindows);
}

}  // namespace

BENCHMARK(BM_QtImagePath)->Args({1920, 1080})->Args({1280, 720})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RendererPath)->Args({1920, 1080})->Args({1280, 720})->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
