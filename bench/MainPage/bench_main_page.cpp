// Main-page playback speed on generated D1 (704x576, 25 fps) ".kvx"
// recordings, offscreen:
//   (a) from asking the play logic to open a recording in a window to its
//       first frame in that window on the GUI thread, against opening the
//       same file with the library alone and receiving its first frame;
//   (b) CPU seconds of 16 windows playing at 1X through the whole main-page
//       road (play logic, engine, frame hand-over, grid), shown and painted
//       as a user sees them, on recordings as a recorder writes them (D1
//       H.264 with B-frames, a key frame every 2 s, 10 minutes; 8 s in a
//       smoke run), against the same files decoded by the library alone at
//       1X (nothing painted), against the library whose frames are shown in
//       16 plain widgets of the cells' sizes (scaled and converted once, on
//       the decoding thread, then drawn), and against 16 plain `ffmpeg -re`
//       processes (their default threads) decoding the same streams. Run it
//       under a display (xvfb-run, QT_QPA_PLATFORM=xcb) for a user's
//       painting; offscreen by default.
//   (c) a day of one-minute files on 16 channels (hard links to the
//       recordings of (b), ten or 1,440 a channel): milliseconds from the
//       request to a frame in every window, the largest resident memory
//       while it plays, and CPU seconds at 1X against the library playing
//       the 16 shown files alone;
//   (d) the grid's playback judged by the pictures each window is handed to
//       show (their time and when they were handed over): 16 channels of
//       short "minutes" (MAINPAGE_BENCH_MINUTE_SECONDS, default 10; 4 in
//       sanitizer builds) of their own times, 12 D1 and 4 1080p (two H.265;
//       all D1 in smoke runs), played at 1X, 4X and 16X with and without
//       Sync Play, forward and in reverse from the day's end, quiet and (in
//       full runs) beside eight busy loops: the longest hold inside a file
//       and at a change of file, of D1 windows, the fewest pictures in a
//       wall second, the smallest share of a footage second shown, the
//       largest spread between windows and the farthest a window stood from
//       the group's moment, the click to the first earlier picture, the peak
//       resident memory, CPU seconds per second of footage, where files were
//       entered and left, the speed played, with the load average beside
//       them. A row names the goals it missed ("MISSED: ..."), and a full
//       run that missed any exits 1 (MAINPAGE_BENCH_SHOTS=<folder>: pictures
//       of the page at the first change of file and 120 ms later).
// MAINPAGE_BENCH_SECONDS sets the playing time of (b) (default 20; 1 in
// sanitizer builds, so smoke runs stay short).
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <boost/make_shared.hpp>
#include <sys/resource.h>
#include <unistd.h>

#include "Base/MessageLoopIds.h"
#include "Base/PlanarLayout.h"
#include "Base/SFMessageLoopManager.h"
#include "Base/SFSystem.h"
#include "Base/TextCodec.h"
#include "Base/WorkerLoops.h"
#include "Common/YuvToRgb.h"
#include "KvxWriter/SyntheticRecording.h"
#include "Support/BenchRecordings.h"
#include "Support/BusyLoops.h"
#include "Support/PlaybackFigures.h"
#include "Support/BenchRun.h"
#include "Main/MainPageEventImp.h"
#include "Main/MainTimeLineEventImp.h"
#include "Main/PlayBarEventImp.h"
#include "Main/PlayManagerUILogic.h"
#include "Main/PlayWinManagerEventImp.h"
#include "PageServices/PageHost.h"
#include "Platform/DDraw/SurfaceScaler.h"
#include "Platform/PlayModule/Format/KvxRecordParser.h"
#include "Platform/PlayModule/Format/KvxVideoPayload.h"
#include "PlayManager/PlayModuleLibrary.h"
#include "Platform/PlayModule/IPlayModuleListener.h"
#include "Platform/PlayModule/PlayModule.h"
#include "Support/BenchRun.h"
#include "VideoWidgets/SFQTVideoWindow.h"
#include "VideoWidgets/SFQTVideoWindowPlayWnd.h"
#include "VideoWidgets/SFQTVideoWindowSubWnd.h"
#include "Widgets/SFView.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWindows = 16;

#ifdef __SANITIZE_ADDRESS__
constexpr int kFirstFrameRuns = 3;
#else
constexpr int kFirstFrameRuns = 20;
#endif

double PlaySeconds()
{
    if (const char* text = std::getenv("MAINPAGE_BENCH_SECONDS"))
        return std::atof(text);
#ifdef __SANITIZE_ADDRESS__
    return 1;
#else
    return 20;
#endif
}

std::string Folder()
{
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "mainpagebench-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    return folder;
}

// Recorder-like D1 recordings, one link per window.
const std::vector<std::string>& RecorderRecordings()
{
    static const std::vector<std::string> files = [] {
        std::vector<std::string> made;
        const std::string source = BENCH::BFramesRecording(BENCH::Size::D1, false);
        for (int i = 0; i < kWindows && !source.empty(); ++i) {
            const std::string link = Folder() + "/Cam02_ch" + std::to_string(i + 1) + ".mp4";
            std::error_code error;
            std::filesystem::create_hard_link(source, link, error);
            if (!error)
                made.push_back(link);
        }
        return made;
    }();
    return files;
}

// Synthetic D1 recordings, one per window, each a little longer than the
// playing time.
const std::vector<std::string>& Recordings()
{
    static const std::vector<std::string> files = [] {
        std::vector<std::string> made;
        for (int i = 0; i < kWindows; ++i) {
            KVX_WRITER::SyntheticOptions options;
            options.seconds = PlaySeconds() + 3;
            options.audio.reset();
            const std::string file = Folder() + "/Cam01_ch" + std::to_string(i + 1) + ".kvx";
            if (KVX_WRITER::WriteSyntheticRecording(options, file))
                made.push_back(file);
        }
        return made;
    }();
    return files;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the GUI loop until done() holds, checked whenever the loop is idle,
// or ms pass.
void RunGui(const std::function<bool()>& done, int ms)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    check.start(0);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
}

// Runs the GUI loop for this long.
void RunGuiFor(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

class Host : public IPageHost {
public:
    void Task_OnCloseSuccess(int) override {}
    void ResetPageTab(int) override {}
    boost::shared_ptr<IFileIndexService> GetFileIndexService() override { return {}; }
    int IsClosing() override { return 0; }
};

// A main page in a window of 1280 x 800.
class Page {
public:
    explicit Page(bool shown = false, CPlayBackends backends = {})
    {
        window.resize(1280, 800);
        page = CMainPageEventImp::Create(boost::make_shared<Host>(), &window, std::move(backends));
        // As the main frame places its page.
        page->GetView()->MoveWindow(0, 0, 1280, 800);
        page->OnSize(0, 1280, 800);
        ui = page->GetPlayWinManager()->GetPlayManagerUILogic();
        grid = dynamic_cast<CSFQTVideoWindow*>(page->GetPlayWinManager()->GetVideoWindow());
        // The layout a user picks for 16 windows.
        grid->SetDefaultLayout(LAYOUT_16, nullptr);
        if (shown) {
            window.show();
            RunGuiFor(0.2);
        }
    }
    ~Page()
    {
        ui->CloseFiles(nullptr, -1);
        RunGui([&] { return ui->GetCloseWantedNum() <= 0; }, 10000);
        RunGui([] { return false; }, 100);
    }
    void Open(const std::vector<std::string>& files)
    {
        ui->SetWantedReturnNum(int(files.size()));
        for (std::size_t i = 0; i < files.size(); ++i) {
            auto record = boost::make_shared<_QUERY_FILE_INFO>();
            record->path = SF_SOFT_BASE::Utf8ToWide(files[i]);
            record->window = grid->GetSubWinIDByIndex(int(i));
            record->fileType = 1;
            record->queryType = QUERY_FILEPATH_DAY;
            ui->StartPlayOneFile(record->path, record, 0);
        }
    }
    // The channels' files in channel order, each channel in its own window,
    // file i of a channel covering minute i of the day.
    void OpenDay(const std::vector<std::vector<std::string>>& channels, int fileSeconds = 60, int syncPlay = 0)
    {
        constexpr std::int32_t kDayStart = 1710028800;
        std::size_t total = 0;
        for (const auto& files : channels)
            total += files.size();
        ui->SetWantedReturnNum(int(total));
        for (std::size_t channel = 0; channel < channels.size(); ++channel)
            for (std::size_t i = 0; i < channels[channel].size(); ++i) {
                auto record = boost::make_shared<_QUERY_FILE_INFO>();
                record->path = SF_SOFT_BASE::Utf8ToWide(channels[channel][i]);
                record->window = grid->GetSubWinIDByIndex(int(channel));
                record->fileType = 1;
                record->queryType = QUERY_FILEPATH_DAY;
                record->channelKey = int(channel);
                record->fileId = int(channel * 10000 + i + 1);
                record->startTime = kDayStart + std::int32_t(fileSeconds * i);
                record->endTime = record->startTime + fileSeconds;
                ui->StartPlayOneFile(record->path, record, syncPlay);
            }
    }
    bool HasFrame(int index) const
    {
        const CSFQTVideoWindowPlayWnd* wnd = grid->CellAt(index)->GetPlayWnd();
        return !wnd->FrameImage().isNull() || !wnd->PresentedImage().isNull();
    }
    // Where a cell's picture is, in the page's window.
    QRect CellRect(int index) const
    {
        const CSFQTVideoWindowPlayWnd* wnd = grid->CellAt(index)->GetPlayWnd();
        return QRect(wnd->mapTo(&window, QPoint(0, 0)), wnd->size());
    }

    QWidget window;
    boost::shared_ptr<CMainPageEventImp> page;
    boost::shared_ptr<CPlayManagerUILogic> ui;
    CSFQTVideoWindow* grid = nullptr;
};

class FrameCounter : public PLAY_MODULE::IPlayModuleListener {
public:
    void OnFileRefFinished(PLAY_MODULE::CPlayModule*, int) override {}
    void OnFileEnd(PLAY_MODULE::CPlayModule*) override {}
    void OnStreamData(PLAY_MODULE::CPlayModule*, unsigned char*, int, PLAY_MODULE::PM_FRAME_INFO*, int) override {}
    void OnFrameVisible(PLAY_MODULE::CPlayModule*, int, unsigned char*, int, PLAY_MODULE::PM_FRAME_INFO*) override
    {
        ++frames;
    }
    void OnFileTimeDone(PLAY_MODULE::CPlayModule*, unsigned, unsigned) override {}
    int OnOverlayData(PLAY_MODULE::CPlayModule*, unsigned char*, int, int, int, int) override { return 1; }

    std::atomic<int> frames{0};
};

// A plain widget showing the library's frames at its own size: each frame
// is scaled and converted once on the library's thread into the back one of
// two pictures, which the GUI thread then draws as it is.
class PictureView : public QWidget, public PLAY_MODULE::IPlayModuleListener {
public:
    PictureView(QWidget* parent, const QRect& geometry) : QWidget(parent)
    {
        setGeometry(geometry);
        setAttribute(Qt::WA_OpaquePaintEvent);
        for (QImage& picture : m_pictures)
            picture = QImage(geometry.size(), QImage::Format_RGB32);
    }
    void OnFileRefFinished(PLAY_MODULE::CPlayModule*, int) override {}
    void OnFileEnd(PLAY_MODULE::CPlayModule*) override {}
    void OnStreamData(PLAY_MODULE::CPlayModule*, unsigned char*, int, PLAY_MODULE::PM_FRAME_INFO*, int) override {}
    void OnFrameVisible(PLAY_MODULE::CPlayModule*, int kind, unsigned char* data, int size,
                        PLAY_MODULE::PM_FRAME_INFO* info) override
    {
        if (!data || !info || info->nType != PLAY_MODULE::PM_FRAME_VIDEO_SHOWN)
            return;
        const SF_SOFT_BASE::PlanarLayout layout{info->nWidth, info->nHeight};
        if (size < 0 || std::size_t(size) < layout.Size())
            return;
        ++frames;
        QImage& back = m_pictures[1 - m_front];
        // The Qt path's planes are Y, V, U; the renderer's Y, U, V.
        const YuvPlanes planes =
            PackedYuv420Planes(data, info->nWidth, info->nHeight, kind == PLAY_MODULE::PM_RENDER_QT);
        const PlanarSource source{planes.y, planes.u, planes.v, planes.yStride, planes.chromaStride,
                                  tagRECT{0, 0, info->nWidth - 1, info->nHeight - 1}};
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_scaler.BltPlanar(source, back);
            m_front = 1 - m_front;
        }
        if (!m_updatePending.exchange(true))
            QMetaObject::invokeMethod(this, [this] {
                m_updatePending = false;
                update();
            }, Qt::QueuedConnection);
    }
    void OnFileTimeDone(PLAY_MODULE::CPlayModule*, unsigned, unsigned) override {}
    int OnOverlayData(PLAY_MODULE::CPlayModule*, unsigned char*, int, int, int, int) override { return 1; }

    std::atomic<int> frames{0};

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        std::lock_guard<std::mutex> lock(m_mutex);
        painter.drawImage(QPoint(0, 0), m_pictures[m_front]);
    }

private:
    std::mutex m_mutex;
    std::array<QImage, 2> m_pictures;
    CSurfaceScaler m_scaler{false};
    int m_front = 0;
    std::atomic<bool> m_updatePending{false};
};

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double PageFirstFrameMs(const std::string& file)
{
    Page page;
    const auto start = Clock::now();
    page.Open({file});
    RunGui([&] { return page.HasFrame(0); }, 10000);
    return page.HasFrame(0) ? MillisecondsSince(start) : 0;
}

double LibraryFirstFrameMs(const std::string& file)
{
    FrameCounter counter;
    PLAY_MODULE::CPlayModule module(&counter);
    const auto start = Clock::now();
    if (!module.Open(file.c_str()) || !module.Play(nullptr))
        return 0;
    while (counter.frames == 0 && MillisecondsSince(start) < 10000)
        std::this_thread::yield();
    const double ms = MillisecondsSince(start);
    module.Stop();
    module.Close();
    return counter.frames ? ms : 0;
}

void BM_OpenToFirstFrame(benchmark::State& state)
{
    const std::string file = Recordings().front();
    double page = 0;
    double library = 0;
    for (auto _ : state) {
        page += PageFirstFrameMs(file);
        library += LibraryFirstFrameMs(file);
    }
    state.counters["page_ms"] = benchmark::Counter(page, benchmark::Counter::kAvgIterations);
    state.counters["library_ms"] = benchmark::Counter(library, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = library > 0 ? page / library : 0;
}
BENCHMARK(BM_OpenToFirstFrame)->Iterations(kFirstFrameRuns)->Unit(benchmark::kMillisecond);

// The sizes of the page's cells, taken from the page's run.
std::vector<QRect>& CellGeometries()
{
    static std::vector<QRect> cells;
    return cells;
}

double PageCpuSeconds(const std::vector<std::string>& files, double seconds, bool shown, int* framesShown,
                      int* paints)
{
    Page page(shown);
    PaintCounter counter;
    for (int i = 0; i < int(files.size()); ++i)
        page.grid->CellAt(i)->GetPlayWnd()->installEventFilter(&counter);
    const double before = CpuSeconds();
    page.Open(files);
    RunGuiFor(seconds);
    const double used = CpuSeconds() - before;
    *paints = counter.paints;
    *framesShown = 0;
    CellGeometries().clear();
    for (int i = 0; i < int(files.size()); ++i) {
        *framesShown += page.HasFrame(i) ? 1 : 0;
        CellGeometries().push_back(page.CellRect(i));
    }
    return used;
}

double LibraryCpuSeconds(const std::vector<std::string>& files, double seconds)
{
    std::vector<std::unique_ptr<FrameCounter>> counters;
    std::vector<std::unique_ptr<PLAY_MODULE::CPlayModule>> modules;
    const double before = CpuSeconds();
    for (const std::string& file : files) {
        counters.push_back(std::make_unique<FrameCounter>());
        modules.push_back(std::make_unique<PLAY_MODULE::CPlayModule>(counters.back().get()));
        modules.back()->Open(file.c_str());
        modules.back()->Play(nullptr);
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    for (auto& module : modules) {
        module->Stop();
        module->Close();
    }
    return CpuSeconds() - before;
}

// The library with its frames shown in plain widgets of the page's cells'
// sizes, in a shown window of the page's size.
double LibraryShownCpuSeconds(const std::vector<std::string>& files, double seconds, int* paints, int* frames)
{
    QWidget window;
    window.resize(1280, 800);
    std::vector<PictureView*> views;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QRect cell = i < CellGeometries().size() ? CellGeometries()[i]
                                                       : QRect(int(i % 4) * 320, int(i / 4) * 200, 320, 200);
        views.push_back(new PictureView(&window, cell));
    }
    PaintCounter counter;
    for (PictureView* view : views)
        view->installEventFilter(&counter);
    window.show();
    RunGuiFor(0.2);
    std::vector<std::unique_ptr<PLAY_MODULE::CPlayModule>> modules;
    const double before = CpuSeconds();
    for (std::size_t i = 0; i < files.size(); ++i) {
        modules.push_back(std::make_unique<PLAY_MODULE::CPlayModule>(views[i]));
        modules.back()->Open(files[i].c_str());
        modules.back()->Play(nullptr);
    }
    RunGuiFor(seconds);
    for (auto& module : modules) {
        module->Stop();
        module->Close();
    }
    const double used = CpuSeconds() - before;
    *paints = counter.paints;
    for (PictureView* view : views)
        *frames += view->frames;
    RunGuiFor(0.05);
    return used;
}

// The video of a ".kvx" recording as a raw stream beside it, for ffmpeg
// (which reads no ".kvx"); empty on failure.
std::string RawVideoOf(const std::string& kvx)
{
    std::ifstream in(kvx, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    PLAY_MODULE::CKvxRecordParser parser;
    parser.Feed(bytes);
    const std::string path = kvx + ".h264";
    std::ofstream out(path, std::ios::binary);
    PLAY_MODULE::KvxRecord record;
    while (parser.Next(record) == PLAY_MODULE::CKvxRecordParser::Status::Record) {
        PLAY_MODULE::KvxVideoPayload video;
        if (record.header.kind != PLAY_MODULE::kvx::RecordKind::Video ||
            !video.Decode(record.payload, record.header.IsKeyFrame()))
            continue;
        const std::vector<std::uint8_t> unit = video.DecodableBytes();
        out.write(reinterpret_cast<const char*>(unit.data()), std::streamsize(unit.size()));
    }
    return out ? path : std::string();
}

// CPU seconds of one plain `ffmpeg -re` per file (its default threads)
// decoding the same stream for the same time, nothing shown.
double FfmpegCpuSeconds(const std::vector<std::string>& files, double seconds)
{
    std::vector<std::string> commands;
    for (const std::string& file : files) {
        if (file.size() < 4 || file.compare(file.size() - 4, 4, ".kvx") != 0) {
            commands.push_back("ffmpeg -nostdin -v error -re -t " + std::to_string(seconds) + " -i '" + file +
                               "' -f null -");
            continue;
        }
        static std::map<std::string, std::string> raw;
        std::string& input = raw[file];
        if (input.empty())
            input = RawVideoOf(file);
        commands.push_back("ffmpeg -nostdin -v error -re -f h264 -framerate 25 -t " + std::to_string(seconds) +
                           " -i '" + input + "' -f null -");
    }
    return BENCH::RunProcessesCpuSeconds(commands);
}

// Argument: the library's render kind (2 the program's default, planar
// pictures converted where they are shown; 1 planar frames through the
// cells' renderers). The windows are shown, as a user sees them.
void BM_SixteenWindowsAtOneX(benchmark::State& state)
{
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_TYPE(state.range(0)));
    const std::vector<std::string>& files = RecorderRecordings();
    const double seconds = PlaySeconds();
    for (auto _ : state) {
        if (files.size() != std::size_t(kWindows)) {
            state.SkipWithError("could not make the recordings");
            break;
        }
        int shownFrames = 0;
        int pagePaints = 0;
        int libraryPaints = 0;
        int libraryFrames = 0;
        const double page = PageCpuSeconds(files, seconds, true, &shownFrames, &pagePaints);
        const double library = LibraryCpuSeconds(files, seconds);
        state.counters["library_painted_cpu_s"] = LibraryShownCpuSeconds(files, seconds, &libraryPaints, &libraryFrames);
        state.counters["page_paints"] = pagePaints;
        state.counters["library_paints"] = libraryPaints;
        state.counters["library_frames"] = libraryFrames;
        const double peer = FfmpegCpuSeconds(files, seconds);
        state.counters["windows_with_frames"] = shownFrames;
        state.counters["page_cpu_s"] = page;
        state.counters["library_cpu_s"] = library;
        state.counters["ffmpeg_cpu_s"] = peer;
        state.counters["ratio"] = library > 0 ? page / library : 0;
        state.counters["ratio_ffmpeg"] = peer > 0 ? page / peer : 0;
    }
    PLAY_MODULE::CPlayModule::SetRenderType(PLAY_MODULE::PM_RENDER_QT);
}
BENCHMARK(BM_SixteenWindowsAtOneX)
    ->Arg(PLAY_MODULE::PM_RENDER_QT)
    ->Arg(PLAY_MODULE::PM_RENDER_DDRAW)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

double ResidentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024;
    return 0;
}

// filesPerChannel hard links per channel to the channel's recording.
std::vector<std::vector<std::string>> DayOfLinks(int filesPerChannel)
{
    const std::string folder = Folder() + "/day" + std::to_string(filesPerChannel);
    std::filesystem::create_directories(folder);
    std::vector<std::vector<std::string>> channels(kWindows);
    for (int channel = 0; channel < kWindows; ++channel)
        for (int i = 0; i < filesPerChannel; ++i) {
            const std::string link = folder + "/ch" + std::to_string(channel + 1) + "_" + std::to_string(i) + ".kvx";
            std::error_code error;
            if (!std::filesystem::exists(link))
                std::filesystem::create_hard_link(Recordings()[channel], link, error);
            channels[channel].push_back(link);
        }
    return channels;
}

bool AllWindowsHaveFrames(const Page& page)
{
    for (int i = 0; i < kWindows; ++i)
        if (!page.HasFrame(i))
            return false;
    return true;
}

// Runs must stay clear of the machine's memory: a run stops above this.
constexpr double kResidentLimitMb = 2048;

// Argument: files per channel.
void BM_DayOfMinuteFiles(benchmark::State& state)
{
    const std::vector<std::vector<std::string>> day = DayOfLinks(int(state.range(0)));
    const double seconds = PlaySeconds();
    for (auto _ : state) {
        double peakMb = 0;
        double firstFramesMs = 0;
        double page = 0;
        {
            Page dayPage;
            QTimer sampler;
            QObject::connect(&sampler, &QTimer::timeout, [&] { peakMb = std::max(peakMb, ResidentMb()); });
            sampler.start(100);
            const double before = CpuSeconds();
            const auto start = Clock::now();
            dayPage.OpenDay(day);
            QEventLoop loop;
            QTimer check;
            QObject::connect(&check, &QTimer::timeout, [&] {
                if (firstFramesMs == 0 && AllWindowsHaveFrames(dayPage))
                    firstFramesMs = MillisecondsSince(start);
                if (peakMb > kResidentLimitMb || MillisecondsSince(start) >= seconds * 1000)
                    loop.quit();
            });
            check.start(5);
            loop.exec();
            page = CpuSeconds() - before;
        }
        const double library = LibraryCpuSeconds(Recordings(), seconds);
        state.counters["first_frames_ms"] = firstFramesMs;
        state.counters["peak_rss_mb"] = peakMb;
        state.counters["page_cpu_s"] = page;
        state.counters["library_cpu_s"] = library;
        state.counters["ratio"] = library > 0 ? page / library : 0;
    }
}
BENCHMARK(BM_DayOfMinuteFiles)->Arg(10)->Arg(1440)->Iterations(1)->Unit(benchmark::kMillisecond);

int MinuteSeconds()
{
    if (const char* text = std::getenv("MAINPAGE_BENCH_MINUTE_SECONDS"))
        return std::max(2, std::atoi(text));
#ifdef __SANITIZE_ADDRESS__
    return 4;
#else
    return 10;
#endif
}

constexpr int kMinutesPerChannel = 4;
constexpr std::int64_t kMinuteDayStartMs = 1710028800000;
// From this channel on, 1080p (the last two H.265); D1 in smoke runs.
constexpr int kFirstLargeChannel = 12;

void SetLargePicture(int channel, KVX_WRITER::SyntheticOptions& options)
{
    if (channel < kFirstLargeChannel || BENCH::IsSmoke())
        return;
    options.width = 1920;
    options.height = 1080;
    options.bitrateKbps = 4096;
    if (channel >= kWindows - 2)
        options.codec = PLAY_MODULE::kvx::VideoCodec::H265;
}

// Each channel's "minutes", one after the other in time, named chC_F.kvx.
const std::vector<std::vector<std::string>>& DayOfShortMinutes()
{
    static const std::vector<std::vector<std::string>> channels = [] {
        std::vector<std::vector<std::string>> made(kWindows);
        const std::string folder = Folder() + "/minutes";
        std::filesystem::create_directories(folder);
        std::vector<std::thread> writers;
        for (int channel = 0; channel < kWindows; ++channel)
            for (int file = 0; file < kMinutesPerChannel; ++file)
                made[channel].push_back(folder + "/ch" + std::to_string(channel) + "_" + std::to_string(file) + ".kvx");
        for (int channel = 0; channel < kWindows; ++channel)
            writers.emplace_back([channel, &made] {
                for (int file = 0; file < kMinutesPerChannel; ++file) {
                    KVX_WRITER::SyntheticOptions options;
                    options.startUtcMs = kMinuteDayStartMs + std::int64_t(file) * MinuteSeconds() * 1000;
                    options.seconds = MinuteSeconds();
                    options.audio.reset();
                    SetLargePicture(channel, options);
                    KVX_WRITER::WriteSyntheticRecording(options, made[channel][file]);
                }
            });
        for (std::thread& writer : writers)
            writer.join();
        return made;
    }();
    return channels;
}

using BENCH::ShownPicture;

// The pictures the library hands to the page to show, by channel.
class FrameLog {
public:
    void Add(int channel, ShownPicture frame)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frames[channel].push_back(frame);
    }
    // Whether any channel has handed over a frame of this file.
    bool Reached(int file)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [channel, frames] : m_frames)
            if (!frames.empty() && frames.back().file >= file)
                return true;
        return false;
    }
    BENCH::ShownPictures Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::move(m_frames);
    }

private:
    std::mutex m_mutex;
    BENCH::ShownPictures m_frames;
};

FrameLog& HandedFrames()
{
    static FrameLog log;
    return log;
}

// Notes the frames of one file, then passes every call on to the play object.
class FrameSpy : public PLAY_MODULE::IPlayModuleListener {
public:
    explicit FrameSpy(PLAY_MODULE::IPlayModuleListener* target) : m_target(target) {}
    void OnFileRefFinished(PLAY_MODULE::CPlayModule* module, int result) override
    {
        m_target->OnFileRefFinished(module, result);
    }
    void OnFileEnd(PLAY_MODULE::CPlayModule* module) override { m_target->OnFileEnd(module); }
    void OnStreamData(PLAY_MODULE::CPlayModule* module, unsigned char* data, int length,
                      PLAY_MODULE::PM_FRAME_INFO* info, int reserved) override
    {
        m_target->OnStreamData(module, data, length, info, reserved);
    }
    void OnFrameVisible(PLAY_MODULE::CPlayModule* module, int kind, unsigned char* data, int size,
                        PLAY_MODULE::PM_FRAME_INFO* info) override
    {
        if (info && m_channel >= 0) {
            const auto wall = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch());
            HandedFrames().Add(m_channel, {m_file, info->nStampMs, wall.count()});
        }
        m_target->OnFrameVisible(module, kind, data, size, info);
    }
    void OnFileTimeDone(PLAY_MODULE::CPlayModule* module, unsigned start, unsigned end) override
    {
        m_target->OnFileTimeDone(module, start, end);
    }
    void OnRecordFailed(PLAY_MODULE::CPlayModule* module, const std::string& keptPath, std::int64_t keptMs) override
    {
        m_target->OnRecordFailed(module, keptPath, keptMs);
    }
    int OnOverlayData(PLAY_MODULE::CPlayModule* module, unsigned char* data, int kind, int length, int value1,
                      int value2) override
    {
        return m_target->OnOverlayData(module, data, kind, length, value1, value2);
    }
    // Takes channel and file from a name "chC_F.kvx".
    void NoteFile(const std::string& path)
    {
        const std::string name = std::filesystem::path(path).stem().string();
        if (std::sscanf(name.c_str(), "ch%d_%d", &m_channel, &m_file) != 2)
            m_channel = -1;
    }

private:
    PLAY_MODULE::IPlayModuleListener* m_target;
    int m_channel = -1;
    int m_file = 0;
};

struct SpyHolder {
    explicit SpyHolder(PLAY_MODULE::IPlayModuleListener* target) : spy(target) {}
    FrameSpy spy;
};

// The real library, its frames noted on their way to the page.
class SpiedLibrary : private SpyHolder, public CPlayModuleLibrary {
public:
    explicit SpiedLibrary(PLAY_MODULE::IPlayModuleListener* target) : SpyHolder(target), CPlayModuleLibrary(&spy) {}
    int Open(const char* path) override
    {
        spy.NoteFile(path ? path : "");
        return CPlayModuleLibrary::Open(path);
    }
};

CPlayBackends SpiedBackends()
{
    CPlayBackends backends;
    backends.library = [](PLAY_MODULE::IPlayModuleListener* listener) -> std::unique_ptr<IPlayLibrary> {
        // A group module is made without a listener.
        if (!listener)
            return PlayModuleLibraryFactory()(nullptr);
        return std::make_unique<SpiedLibrary>(listener);
    };
    return backends;
}

// What the shown-picture figures do not give: where files were entered and
// left, and the speed footage played at.
struct ChangeFigures {
    double longestSkipMs = 0;
    double slowestSpeed = 1e9;
    // Of the file played into last (the day's last, in reverse its first),
    // the most never shown before its end (in reverse: its start).
    double dayEndUnshownMs = 0;
};

// From one channel's frames in the order handed over.
void AddChannelFigures(const std::vector<ShownPicture>& frames, ChangeFigures& figures, bool backward)
{
    const double fileMs = MinuteSeconds() * 1000.0;
    std::map<int, std::pair<std::int64_t, std::int64_t>> spans;  // file: first and last time shown
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const ShownPicture& frame = frames[i];
        auto span = spans.emplace(frame.file, std::make_pair(frame.stampMs, frame.stampMs)).first;
        span->second.first = std::min(span->second.first, frame.stampMs);
        span->second.second = std::max(span->second.second, frame.stampMs);
        if (i == 0 || frame.file == frames[i - 1].file)
            continue;
        const double skippedMs = backward ? fileMs - 40 - double(frame.stampMs) : double(frame.stampMs);
        figures.longestSkipMs = std::max(figures.longestSkipMs, skippedMs);
    }
    // The speed the channel played at: its footage shown over the wall time it took.
    if (frames.size() > 1) {
        auto footageMs = [fileMs](const ShownPicture& f) { return f.file * fileMs + double(f.stampMs); };
        const double wallMs = double(frames.back().wallUs - frames.front().wallUs) / 1000.0;
        if (wallMs > 0)
            figures.slowestSpeed =
                std::min(figures.slowestSpeed, std::abs(footageMs(frames.back()) - footageMs(frames.front())) / wallMs);
    }
    const int first = frames.empty() ? 0 : frames.front().file;
    const int last = frames.empty() ? 0 : frames.back().file;
    if (const auto span = spans.find(last); span != spans.end() && last != first) {
        const auto [lowMs, highMs] = span->second;
        const double unshownMs = backward ? double(lowMs) : fileMs - 40 - double(highMs);
        figures.dayEndUnshownMs = std::max(figures.dayEndUnshownMs, unshownMs);
    }
}

double LoadAverage()
{
    std::ifstream load("/proc/loadavg");
    double value = 0;
    load >> value;
    return value;
}

// With MAINPAGE_BENCH_SHOTS set to a folder: pictures of the page as the
// first change of file begins and 120 ms later.
void ShootFirstChange(Page& page, const std::string& name, double seconds)
{
    const char* folder = std::getenv("MAINPAGE_BENCH_SHOTS");
    if (!folder) {
        RunGuiFor(seconds);
        return;
    }
    const auto start = Clock::now();
    RunGui([] { return HandedFrames().Reached(1); }, int(seconds * 1000));
    page.window.grab().save(QString::fromStdString(std::string(folder) + "/" + name + "_at.png"));
    RunGuiFor(0.12);
    page.window.grab().save(QString::fromStdString(std::string(folder) + "/" + name + "_after.png"));
    RunGuiFor(std::max(0.0, seconds - MillisecondsSince(start) / 1000));
}

// Reverse is refused until every shown file has its index.
bool AllShownFilesIndexed(const Page& page)
{
    for (int i = 0; i < kWindows; ++i)
        if (page.ui->GetWindowEntry(page.grid->GetSubWinIDByIndex(i))->indexMark != 1)
            return false;
    return true;
}

std::int64_t WallUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

// At 1X every window near the day's end, then Reverse pressed; false when
// refused. The pictures of the 0.3 s before the press tell where windows stood.
bool ReverseFromTheDaysEnd(Page& page, bool sync, std::int64_t& clickWallUs)
{
    const int end = int(kMinuteDayStartMs / 1000) + kMinutesPerChannel * MinuteSeconds() - 1;
    RunGui([&] { return AllShownFilesIndexed(page); }, 20000);
    for (int i = 0; i < (sync ? 1 : kWindows); ++i)
        page.page->GetMainTimeLine()->OnPositionChanged(0, page.grid->GetSubWinIDByIndex(i), 1, end, VIDEOCUT_END);
    // The seek shows the day's last files, indexed only once opened.
    RunGui([&] { return AllShownFilesIndexed(page); }, 20000);
    HandedFrames().Take();
    RunGuiFor(0.3);
    clickWallUs = WallUs();
    page.ui->SetPlayDirection(0);
    return page.ui->GetWindowEntry(page.grid->GetSubWinIDByIndex(0))->directionMark == 0;
}

bool g_goalsMissed = false;

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

void SetCounters(benchmark::State& state, const BENCH::PlaybackFigures& shown, const ChangeFigures& figures)
{
    state.counters["changes"] = shown.changes;
    state.counters["hold_inside_ms"] = shown.holdInsideMs;
    state.counters["hold_change_ms"] = shown.holdChangeMs;
    state.counters["hold_d1_ms"] = shown.holdD1Ms;
    state.counters["fps_min"] = shown.fpsMin;
    state.counters["second_share_min"] = shown.secondShareMin;
    state.counters["spread_ms"] = shown.spreadMs;
    state.counters["off_moment_ms"] = shown.offMomentMs;
    state.counters["first_back_ms"] = shown.firstBackMs;
    state.counters["start_skipped_ms"] = figures.longestSkipMs;
    state.counters["played_speed"] = figures.slowestSpeed;
    state.counters["day_end_unshown_ms"] = figures.dayEndUnshownMs;
}

// Arguments: speed (1, 4, 16), Sync Play (0, 1), reverse (0, 1) and eight
// busy loops beside (0, 1).
void BM_GridPlayback(benchmark::State& state)
{
    const auto& day = DayOfShortMinutes();
    BENCH::PlaybackRun run;
    run.fileMs = MinuteSeconds() * 1000.0;
    run.speed = double(state.range(0));
    run.sync = state.range(1) != 0;
    run.backward = state.range(2) != 0;
    run.busy = state.range(3) != 0;
    run.firstLargeWindow = BENCH::IsSmoke() ? kWindows : kFirstLargeChannel;
    const double playSeconds = kMinutesPerChannel * MinuteSeconds() / run.speed;
    for (auto _ : state) {
        ChangeFigures figures;
        BENCH::ShownPictures pictures;
        double load = 0, cpuSeconds = 0;
        {
            HandedFrames().Take();
            Page dayPage(true, SpiedBackends());
            auto bar = dayPage.page->GetPlayWinManager()->GetPlayBar();
            bar->UpdateButtonState(CPlayBarEventImp::kSyncPlay, run.sync ? 1 : 0);
            dayPage.ui->SetWantedShowNum(kWindows * kMinutesPerChannel);
            dayPage.OpenDay(day, MinuteSeconds(), run.sync ? 1 : 0);
            RunGui([&] { return AllWindowsHaveFrames(dayPage) && dayPage.ui->GetSynPlay() == (run.sync ? 1 : 0); },
                   20000);
            BENCH::BusyLoops busy(run.busy ? 8 : 0);
            BENCH::ResetPeakResident();
            const double cpuStart = BENCH::ProcessCpuSeconds();
            HandedFrames().Take();
            run.clickWallUs = WallUs();
            if (run.backward && !ReverseFromTheDaysEnd(dayPage, run.sync, run.clickWallUs)) {
                state.SkipWithError("Reverse was refused");
                break;
            }
            dayPage.ui->SetPlaySpeed(float(run.speed));
            ShootFirstChange(dayPage, "speed" + std::to_string(int(run.speed)) + (run.sync ? "_sync" : ""),
                             playSeconds + 1.5);
            load = LoadAverage();
            cpuSeconds = BENCH::ProcessCpuSeconds() - cpuStart;
            pictures = HandedFrames().Take();
        }
        for (const auto& [channel, frames] : pictures)
            AddChannelFigures(frames, figures, run.backward);
        const BENCH::PlaybackFigures shown = BENCH::MeasurePlayback(pictures, run);
        const double peakMiB = BENCH::StatusMiB("VmHWM");
        const std::vector<std::string> missed = BENCH::MissedGoals(shown, run, peakMiB);
        SetCounters(state, shown, figures);
        state.counters["peak_rss_mb"] = peakMiB;
        state.counters["cpu_per_footage_s"] = shown.footageSeconds > 0 ? cpuSeconds / shown.footageSeconds : 0;
        state.counters["load"] = load;
        state.counters["goals_missed"] = double(missed.size());
        if (!missed.empty()) {
            state.SetLabel("MISSED: " + Joined(missed));
            g_goalsMissed = true;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    BENCH::ParseArguments(argc, argv);
    SF_SOFT_BASE::CSFSystem::ReturnFreedMemoryEagerly();  // as the program does
    QApplication app(argc, argv);
    LumivexBase::RegisterGuiLoop();
    if (!LumivexBase::StartWorkerLoop(LumivexBase::ML_PLAY))
        return 1;
    // Busy rows only in full runs: smoke runs stay short.
    benchmark::RegisterBenchmark("BM_GridPlayback", BM_GridPlayback)
        ->ArgsProduct({{1, 4, 16}, {0, 1}, {0, 1}, BENCH::IsSmoke() ? std::vector<std::int64_t>{0} : std::vector<std::int64_t>{0, 1}})
        ->ArgNames({"speed", "sync", "reverse", "busy"})
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    LumivexBase::CSFMessageLoopManager::GetInstance()->ExitMessageLoops();
    std::filesystem::remove_all(Folder());
    BENCH::RemoveWorkFolder();
    // A full run fails when a row missed its goals.
    return g_goalsMissed && !BENCH::IsSmoke() ? 1 : 0;
}
