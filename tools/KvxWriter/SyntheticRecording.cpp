#include "KvxWriter/SyntheticRecording.h"

#include <cmath>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

#include "KvxWriter/AudioEncoder.h"
#include "KvxWriter/WriteError.h"
#include "KvxWriter/TestPattern.h"
#include "KvxWriter/VideoEncoder.h"
#include "Platform/PlayModule/Source/AnnexB.h"
#include "Platform/PlayModule/Format/KvxFileWriter.h"
#include "Platform/PlayModule/Format/KvxOverlayRules.h"
#include "Platform/PlayModule/Format/KvxOverlayTargets.h"

namespace KVX_WRITER {

using namespace PLAY_MODULE;

namespace {

class CSyntheticWriter {
public:
    CSyntheticWriter(const SyntheticOptions& o) : m_o(o), m_file(o.signer) {}

    bool Run(const std::string& path, std::string* error)
    {
        if (!OpenEncoders(error)) return false;
        if (!m_file.Open(path)) return Fail(error, "cannot create " + path);
        const auto frames = static_cast<std::int64_t>(std::llround(m_o.seconds * m_o.fps));
        const auto videoSink = [this](std::int64_t i, std::span<const std::uint8_t> d, bool key) {
            WriteVideo(i, d, key);
        };
        for (std::int64_t i = 0; i < frames && m_ok; ++i) {
            CTestPattern::Paint(m_video.Picture(), i, FrameTime(i));
            m_ok = m_video.Encode(i, videoSink) && m_ok;
            WriteAudioUpTo(FrameTime(i + 1));
            WriteOverlays(i);
        }
        m_ok = m_video.Finish(videoSink) && m_ok;
        FinishAudio();
        if (!m_ok) {
            m_file.Abort();
            return Fail(error, "cannot write " + path + WriteErrorText(m_file.Error()));
        }
        return m_file.Close() || Fail(error, "cannot finish " + path + WriteErrorText(m_file.Error()));
    }

private:
    static bool Fail(std::string* error, const std::string& text)
    {
        if (error) *error = text;
        return false;
    }

    std::int64_t FrameTime(std::int64_t i) const { return m_o.startUtcMs + i * 1000 / m_o.fps; }

    bool OpenEncoders(std::string* error)
    {
        CVideoEncoder::Settings s;
        s.codec = m_o.codec;
        s.width = m_o.width & ~1;
        s.height = m_o.height & ~1;
        s.fps = m_o.fps;
        s.gop = std::max(1, static_cast<int>(std::lround(m_o.gopSeconds * m_o.fps)));
        s.bitrateKbps = m_o.bitrateKbps;
        m_width = s.width;
        m_height = s.height;
        if (!m_video.Open(s, error)) return false;
        if (!m_o.audio) return true;
        const int rate = *m_o.audio == kvx::AudioCodec::AacAdts ? 16000 : 8000;
        return m_audio.Open(*m_o.audio, rate, error);
    }

    void WriteVideo(std::int64_t index, std::span<const std::uint8_t> data, bool key)
    {
        std::vector<std::uint8_t> params;
        if (key) params = ExtractParameterSets(data, m_o.codec);
        KvxVideoFrame frame;
        frame.codec = m_o.codec;
        frame.keyFrame = key;
        frame.width = static_cast<std::uint16_t>(m_width);
        frame.height = static_cast<std::uint16_t>(m_height);
        frame.frameRateMilli = static_cast<std::uint32_t>(m_o.fps * 1000);
        frame.timeMs = FrameTime(index);
        frame.parameterSets = params;
        frame.data = data;
        m_ok = m_file.WriteVideo(frame) && m_ok;
        if (key && !m_o.watermark.empty()) m_ok = m_file.WriteWatermark(frame.timeMs, m_o.watermark) && m_ok;
    }

    void WriteAudioUpTo(std::int64_t untilUtcMs)
    {
        if (!m_o.audio) return;
        const int rate = m_audio.SampleRate();
        const std::int64_t target = (untilUtcMs - m_o.startUtcMs) * rate / 1000;
        std::vector<std::int16_t> samples;
        for (; m_samples < target; ++m_samples)
            samples.push_back(static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 1000.0 * m_samples / rate)));
        const auto sink = [this, rate](std::int64_t first, std::span<const std::uint8_t> data) {
            WriteAudioBlock(first, data, rate);
        };
        m_ok = m_audio.Encode(samples, sink) && m_ok;
    }

    void FinishAudio()
    {
        if (!m_o.audio) return;
        const int rate = m_audio.SampleRate();
        m_ok = m_audio.Finish([this, rate](std::int64_t first, std::span<const std::uint8_t> data) {
            WriteAudioBlock(first, data, rate);
        }) && m_ok;
    }

    void WriteAudioBlock(std::int64_t first, std::span<const std::uint8_t> data, int rate)
    {
        KvxAudioPayload audio;
        audio.codec = *m_o.audio;
        audio.sampleRate = static_cast<std::uint32_t>(rate);
        audio.data = data;
        const std::int64_t t = m_o.startUtcMs + std::max<std::int64_t>(0, first) * 1000 / rate;
        m_ok = m_file.WriteAudio(audio, t) && m_ok;
    }

    static KvxOverlayPoint Scaled(int x, int y, int w, int h)
    {
        return {static_cast<std::uint16_t>(std::int64_t(x) * KvxOverlayPoint::kScale / std::max(1, w)),
                static_cast<std::uint16_t>(std::int64_t(y) * KvxOverlayPoint::kScale / std::max(1, h))};
    }

    void WriteOverlays(std::int64_t i)
    {
        if (!m_o.overlays) return;
        if (i % m_o.fps == 0) {
            KvxOverlayRules rules;
            rules.rules.push_back({1, KvxOverlayRules::Polygon, (i / m_o.fps) % 2 == 1,
                                   {{1000, 1000}, {7000, 1200}, {6500, 7000}, {1500, 6000}}, "Zone 1"});
            rules.rules.push_back({2, KvxOverlayRules::Line, false, {{0, 4096}, {8191, 4096}}, "Line 2"});
            m_ok = m_file.WriteOverlay(kvx::RecordKind::OverlayRules, FrameTime(i), rules.Encode()) && m_ok;
        }
        if (i % std::max(1, m_o.fps / 5) == 0) {
            int box[4];
            CTestPattern::BoxAt(i, m_width, m_height, box);
            KvxOverlayTargets targets;
            KvxOverlayTargets::Target t;
            t.id = 7;
            t.objectClass = KvxOverlayTargets::Person;
            t.alarm = (i / m_o.fps) % 2 == 1;
            t.topLeft = Scaled(box[0], box[1], m_width, m_height);
            t.size = Scaled(box[2], box[3], m_width, m_height);
            for (std::int64_t k = std::max<std::int64_t>(0, i - 20); k <= i; k += 5) {
                CTestPattern::BoxAt(k, m_width, m_height, box);
                t.track.push_back(Scaled(box[0] + box[2] / 2, box[1] + box[3] / 2, m_width, m_height));
            }
            targets.targets.push_back(t);
            m_ok = m_file.WriteOverlay(kvx::RecordKind::OverlayTargets, FrameTime(i), targets.Encode()) && m_ok;
        }
    }

    const SyntheticOptions& m_o;
    CKvxFileWriter m_file;
    CVideoEncoder m_video;
    CAudioEncoder m_audio;
    int m_width = 0;
    int m_height = 0;
    std::int64_t m_samples = 0;
    bool m_ok = true;
};

}  // namespace

bool WriteSyntheticRecording(const SyntheticOptions& options, const std::string& path, std::string* error)
{
    CSyntheticWriter writer(options);
    return writer.Run(path, error);
}

}  // namespace KVX_WRITER
