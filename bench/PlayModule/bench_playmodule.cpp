// Index scans and recording writes on files generated at start:
//   scan of a large ".kvx" (headers only) against reading the whole file,
//   scan of a ".ts" through libavformat,
//   writing a signed ".kvx" against copying the same bytes.
// KVX_BENCH_MB sets the size of the large ".kvx" (default 512; 32 in
// sanitizer builds, so the smoke runs of test builds stay quick).
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "KvxWriter/TestPattern.h"
#include "KvxWriter/TestRecorderKey.h"
#include "KvxWriter/VideoEncoder.h"
#include "Platform/PlayModule/AvIndexScanner.h"
#include "Platform/PlayModule/KvxFileWriter.h"
#include "Platform/PlayModule/KvxIndexScanner.h"

using namespace PLAY_MODULE;

namespace {

std::uint64_t TargetBytes()
{
    const char* mb = std::getenv("KVX_BENCH_MB");
#ifdef __SANITIZE_ADDRESS__
    const std::uint64_t fallback = 32;
#else
    const std::uint64_t fallback = 512;
#endif
    return (mb ? std::strtoull(mb, nullptr, 10) : fallback) << 20;
}

std::string Folder()
{
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvxbench-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    return folder;
}

std::uint64_t FileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

// One coded GOP of 704x576 H.264 at about 4 Mbit/s, used over and over.
struct Gop {
    std::vector<std::vector<std::uint8_t>> frames;
};

const Gop& SampleGop()
{
    static const Gop gop = [] {
        Gop g;
        KVX_WRITER::CVideoEncoder encoder;
        KVX_WRITER::CVideoEncoder::Settings s;
        s.bitrateKbps = 4000;
        encoder.Open(s, nullptr);
        const auto sink = [&](std::int64_t, std::span<const std::uint8_t> d, bool) { g.frames.emplace_back(d.begin(), d.end()); };
        for (int i = 0; i < 50; ++i) {
            KVX_WRITER::CTestPattern::Paint(encoder.Picture(), i, i * 40);
            encoder.Encode(i, sink);
        }
        encoder.Finish(sink);
        return g;
    }();
    return gop;
}

// Writes the GOP again and again (with 40 ms G.711 blocks) until bytes are reached.
bool WriteKvx(const std::string& path, std::uint64_t bytes, std::shared_ptr<const CKvxSigner> signer)
{
    CKvxFileWriter writer(std::move(signer));
    if (!writer.Open(path)) return false;
    const Gop& gop = SampleGop();
    const std::vector<std::uint8_t> samples(320, 0xD5);
    std::int64_t t = 1700000000000;
    for (std::size_t i = 0; writer.BytesWritten() < bytes; ++i, t += 40) {
        KvxVideoFrame frame;
        frame.keyFrame = i % gop.frames.size() == 0;
        frame.width = 704;
        frame.height = 576;
        frame.timeMs = t;
        frame.data = gop.frames[i % gop.frames.size()];
        writer.WriteVideo(frame);
        KvxAudioPayload audio;
        audio.data = samples;
        writer.WriteAudio(audio, t);
    }
    return writer.Close();
}

const std::string& LargeKvx()
{
    static const std::string path = [] {
        const auto p = Folder() + "/large.kvx";
        WriteKvx(p, TargetBytes(), KVX_WRITER::TestRecorderSigner());
        return p;
    }();
    return path;
}

const std::string& LargeTs()
{
    static const std::string path = [] {
        const auto p = Folder() + "/large.ts";
        AVFormatContext* ctx = nullptr;
        avformat_alloc_output_context2(&ctx, nullptr, "mpegts", p.c_str());
        AVStream* st = avformat_new_stream(ctx, nullptr);
        st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        st->codecpar->codec_id = AV_CODEC_ID_H264;
        st->codecpar->width = 704;
        st->codecpar->height = 576;
        st->time_base = {1, 25};
        if (avio_open(&ctx->pb, p.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(ctx, nullptr) < 0)
            return p;
        const Gop& gop = SampleGop();
        AVPacket* pkt = av_packet_alloc();
        const std::uint64_t target = TargetBytes() / 2;
        for (std::int64_t i = 0; static_cast<std::uint64_t>(avio_tell(ctx->pb)) < target; ++i) {
            const auto& f = gop.frames[static_cast<std::size_t>(i) % gop.frames.size()];
            av_new_packet(pkt, static_cast<int>(f.size()));
            std::copy(f.begin(), f.end(), pkt->data);
            pkt->pts = pkt->dts = av_rescale_q(i, {1, 25}, st->time_base);
            pkt->duration = av_rescale_q(1, {1, 25}, st->time_base);
            pkt->flags = i % 50 == 0 ? AV_PKT_FLAG_KEY : 0;
            av_interleaved_write_frame(ctx, pkt);
        }
        av_packet_free(&pkt);
        av_write_trailer(ctx);
        avio_closep(&ctx->pb);
        avformat_free_context(ctx);
        return p;
    }();
    return path;
}

void ReadWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> buffer(1 << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) benchmark::ClobberMemory();
    ::close(fd);
}

void BM_KvxIndexScan(benchmark::State& state)
{
    const auto& path = LargeKvx();
    ReadWholeFile(path);  // into the page cache
    CKeyFrameIndex index;
    for (auto _ : state) {
        CKvxIndexScanner::Scan(path, index);
        benchmark::DoNotOptimize(index.entries.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(path)));
    state.counters["key_frames"] = static_cast<double>(index.entries.size());
}

void BM_KvxReadWholeFile(benchmark::State& state)
{
    const auto& path = LargeKvx();
    for (auto _ : state) ReadWholeFile(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(path)));
}

void BM_TsIndexScan(benchmark::State& state)
{
    const auto& path = LargeTs();
    ReadWholeFile(path);
    CKeyFrameIndex index;
    for (auto _ : state) {
        CAvIndexScanner::Scan(path, index);
        benchmark::DoNotOptimize(index.entries.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(path)));
    state.counters["key_frames"] = static_cast<double>(index.entries.size());
}

void BM_TsReadWholeFile(benchmark::State& state)
{
    const auto& path = LargeTs();
    for (auto _ : state) ReadWholeFile(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(path)));
}

std::uint64_t WriteBytes() { return TargetBytes() / 4; }

// Both writers start from no file: replacing the last run's output would
// make the file system write it back first, at a cost that varies by run.
void RemoveUntimed(benchmark::State& state, const std::string& path)
{
    state.PauseTiming();
    ::unlink(path.c_str());
    state.ResumeTiming();
}

void BM_KvxWriteSigned(benchmark::State& state)
{
    const auto path = Folder() + "/written.kvx";
    SampleGop();
    for (auto _ : state) {
        RemoveUntimed(state, path);
        WriteKvx(path, WriteBytes(), KVX_WRITER::TestRecorderSigner());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(path)));
    ::unlink(path.c_str());
}

void BM_CopySameBytes(benchmark::State& state)
{
    const auto source = Folder() + "/source.kvx";
    WriteKvx(source, WriteBytes(), nullptr);
    const auto target = Folder() + "/copy.kvx";
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        RemoveUntimed(state, target);
        const int in = ::open(source.c_str(), O_RDONLY);
        const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ssize_t n;
        while ((n = ::read(in, buffer.data(), buffer.size())) > 0)
            if (::write(out, buffer.data(), static_cast<std::size_t>(n)) != n) break;
        ::close(in);
        ::close(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(source)));
    ::unlink(source.c_str());
    ::unlink(target.c_str());
}

}  // namespace

BENCHMARK(BM_KvxIndexScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KvxReadWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TsIndexScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TsReadWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KvxWriteSigned)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopySameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    av_log_set_level(AV_LOG_ERROR);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
    return 0;
}
