#include "KvxWriter/InputRecording.h"

#include <chrono>
#include <map>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
#include <libavutil/parseutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "KvxWriter/AudioEncoder.h"
#include "KvxWriter/WriteError.h"
#include "KvxWriter/VideoEncoder.h"
#include "Platform/PlayModule/Source/AnnexB.h"
#include "Platform/PlayModule/Source/AnnexBFilter.h"
#include "Platform/PlayModule/Format/KvxFileWriter.h"

namespace KVX_WRITER {

using namespace PLAY_MODULE;

namespace {

constexpr int kAudioRate = 8000;

// One input turned into records; owns every FFmpeg object it opens.
class CInputWriter {
public:
    CInputWriter(const InputOptions& o) : m_o(o), m_file(o.signer) {}
    ~CInputWriter()
    {
        avformat_close_input(&m_in);
        av_bsf_free(&m_bsf);
        avcodec_free_context(&m_videoDecoder);
        avcodec_free_context(&m_audioDecoder);
        sws_freeContext(m_sws);
        swr_free(&m_swr);
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
    }

    bool Run(const std::string& input, const std::string& path, InputResult* result, std::string* error)
    {
        if (!OpenInput(input, error)) return false;
        if (!m_file.Open(path)) return Fail(error, "cannot create " + path);
        m_frame = av_frame_alloc();
        m_packet = av_packet_alloc();
        while (m_ok && av_read_frame(m_in, m_packet) >= 0) {
            if (m_packet->stream_index == m_videoIndex) OnVideoPacket();
            else if (m_packet->stream_index == m_audioIndex) OnAudioPacket();
            av_packet_unref(m_packet);
            if (m_o.seconds > 0 && m_lastMs - m_o.startUtcMs >= m_o.seconds * 1000) break;
        }
        if (m_encoder) m_encoder->Finish(EncodedSink());
        if (m_audioIndex >= 0) m_audioEncoder.Finish(AudioSink());
        if (!m_ok || !m_wroteVideo) {
            m_file.Abort();
            return Fail(error, m_wroteVideo ? "cannot write " + path + WriteErrorText(m_file.Error())
                                            : "no video could be recorded");
        }
        if (result) *result = {m_startMs, m_lastMs};
        return m_file.Close() || Fail(error, "cannot finish " + path + WriteErrorText(m_file.Error()));
    }

private:
    static bool Fail(std::string* error, const std::string& text)
    {
        if (error) *error = text;
        return false;
    }

    bool OpenInput(const std::string& input, std::string* error)
    {
        if (avformat_open_input(&m_in, input.c_str(), nullptr, nullptr) < 0 ||
            avformat_find_stream_info(m_in, nullptr) < 0)
            return Fail(error, "cannot read " + input);
        m_videoIndex = av_find_best_stream(m_in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (m_videoIndex < 0) return Fail(error, "no video in " + input);
        m_audioIndex = m_o.audio ? av_find_best_stream(m_in, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) : -1;
        m_startMs = m_o.startUtcMs >= 0 ? m_o.startUtcMs : CreationOrNow();
        m_o.startUtcMs = m_startMs;
        m_lastMs = m_startMs;
        AVStream* video = m_in->streams[m_videoIndex];
        m_rate = av_guess_frame_rate(m_in, video, nullptr);
        if (m_rate.num <= 0 || m_rate.den <= 0) m_rate = {25, 1};
        const bool copy = OpenVideoCopy(video) || OpenVideoTranscode(video, error);
        return copy && (m_audioIndex < 0 || OpenAudio(error));
    }

    std::int64_t CreationOrNow() const
    {
        const AVDictionaryEntry* e = av_dict_get(m_in->metadata, "creation_time", nullptr, 0);
        std::int64_t micros = 0;
        if (e && av_parse_time(&micros, e->value, 0) >= 0 && micros > 0) return micros / 1000;
        using namespace std::chrono;
        return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    }

    bool OpenVideoCopy(AVStream* video)
    {
        const AVCodecID id = video->codecpar->codec_id;
        if (id != AV_CODEC_ID_H264 && id != AV_CODEC_ID_HEVC) return false;
        m_codec = id == AV_CODEC_ID_H264 ? kvx::VideoCodec::H264 : kvx::VideoCodec::H265;
        m_bsf = OpenAnnexBFilter(*video->codecpar, video->time_base);
        m_width = video->codecpar->width;
        m_height = video->codecpar->height;
        return m_bsf != nullptr;
    }

    bool OpenVideoTranscode(AVStream* video, std::string* error)
    {
        const AVCodec* decoder = avcodec_find_decoder(video->codecpar->codec_id);
        if (!decoder) return Fail(error, "no decoder for the input video");
        m_videoDecoder = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(m_videoDecoder, video->codecpar);
        if (avcodec_open2(m_videoDecoder, decoder, nullptr) < 0) return Fail(error, "cannot decode the input video");
        m_codec = kvx::VideoCodec::H264;
        m_width = video->codecpar->width & ~1;
        m_height = video->codecpar->height & ~1;
        CVideoEncoder::Settings s;
        s.width = m_width;
        s.height = m_height;
        s.fps = std::max(1, static_cast<int>(av_q2d(m_rate) + 0.5));
        s.gop = 2 * s.fps;
        m_encoder = std::make_unique<CVideoEncoder>();
        return m_encoder->Open(s, error);
    }

    bool OpenAudio(std::string* error)
    {
        AVStream* audio = m_in->streams[m_audioIndex];
        const AVCodec* decoder = avcodec_find_decoder(audio->codecpar->codec_id);
        if (!decoder) return Fail(error, "no decoder for the input audio");
        m_audioDecoder = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(m_audioDecoder, audio->codecpar);
        if (avcodec_open2(m_audioDecoder, decoder, nullptr) < 0) return Fail(error, "cannot decode the input audio");
        const int rate = *m_o.audio == kvx::AudioCodec::AacAdts ? 16000 : kAudioRate;
        AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
        if (swr_alloc_set_opts2(&m_swr, &mono, AV_SAMPLE_FMT_S16, rate, &m_audioDecoder->ch_layout,
                                m_audioDecoder->sample_fmt, m_audioDecoder->sample_rate, 0, nullptr) < 0 ||
            swr_init(m_swr) < 0)
            return Fail(error, "cannot resample the input audio");
        return m_audioEncoder.Open(*m_o.audio, rate, error);
    }

    std::int64_t TimeOf(std::int64_t ts, AVRational tb, int stream)
    {
        std::int64_t& first = stream == m_videoIndex ? m_firstVideoTs : m_firstAudioTs;
        if (ts == AV_NOPTS_VALUE) return m_lastMs;
        if (first == AV_NOPTS_VALUE) first = ts;
        return m_startMs + av_rescale_q(ts - first, tb, {1, 1000});
    }

    void WriteFrame(std::span<const std::uint8_t> data, bool key, std::int64_t timeMs)
    {
        if (!m_wroteVideo && !key) return;  // a recording starts at a key frame
        key = key || IsKeyAccessUnit(data, m_codec);
        std::vector<std::uint8_t> params;
        if (key) params = ExtractParameterSets(data, m_codec);
        KvxVideoFrame frame;
        frame.codec = m_codec;
        frame.keyFrame = key;
        frame.width = static_cast<std::uint16_t>(m_width);
        frame.height = static_cast<std::uint16_t>(m_height);
        frame.frameRateMilli = static_cast<std::uint32_t>(av_q2d(m_rate) * 1000);
        frame.timeMs = timeMs;
        frame.parameterSets = params;
        frame.data = data;
        m_ok = m_file.WriteVideo(frame) && m_ok;
        if (key && !m_o.watermark.empty()) m_ok = m_file.WriteWatermark(timeMs, m_o.watermark) && m_ok;
        m_wroteVideo = true;
        m_lastMs = std::max(m_lastMs, timeMs);
    }

    CVideoEncoder::Sink EncodedSink()
    {
        return [this](std::int64_t index, std::span<const std::uint8_t> data, bool key) {
            WriteFrame(data, key, m_encodedTimes.count(index) ? m_encodedTimes[index] : m_lastMs);
            m_encodedTimes.erase(index);
        };
    }

    void OnVideoPacket()
    {
        AVStream* st = m_in->streams[m_videoIndex];
        if (m_bsf) {
            if (av_bsf_send_packet(m_bsf, m_packet) < 0) return;
            AVPacket* out = av_packet_alloc();
            while (av_bsf_receive_packet(m_bsf, out) >= 0) {
                const std::int64_t ts = out->pts != AV_NOPTS_VALUE ? out->pts : out->dts;
                WriteFrame({out->data, static_cast<std::size_t>(out->size)}, out->flags & AV_PKT_FLAG_KEY,
                           TimeOf(ts, st->time_base, m_videoIndex));
                av_packet_unref(out);
            }
            av_packet_free(&out);
            return;
        }
        if (avcodec_send_packet(m_videoDecoder, m_packet) < 0) return;
        while (avcodec_receive_frame(m_videoDecoder, m_frame) >= 0) {
            EncodeDecoded(TimeOf(m_frame->best_effort_timestamp, st->time_base, m_videoIndex));
            av_frame_unref(m_frame);
        }
    }

    void EncodeDecoded(std::int64_t timeMs)
    {
        AVFrame* picture = m_encoder->Picture();
        m_sws = sws_getCachedContext(m_sws, m_frame->width, m_frame->height,
                                     static_cast<AVPixelFormat>(m_frame->format), m_width, m_height,
                                     AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!m_sws) return;
        sws_scale(m_sws, m_frame->data, m_frame->linesize, 0, m_frame->height, picture->data, picture->linesize);
        m_encodedTimes[m_encodedCount] = timeMs;
        m_ok = m_encoder->Encode(m_encodedCount++, EncodedSink()) && m_ok;
    }

    void OnAudioPacket()
    {
        if (!m_wroteVideo || avcodec_send_packet(m_audioDecoder, m_packet) < 0) return;
        AVStream* st = m_in->streams[m_audioIndex];
        while (avcodec_receive_frame(m_audioDecoder, m_frame) >= 0) {
            if (m_audioStartMs < 0)
                m_audioStartMs = TimeOf(m_frame->best_effort_timestamp, st->time_base, m_audioIndex);
            std::vector<std::int16_t> samples(static_cast<std::size_t>(swr_get_out_samples(m_swr, m_frame->nb_samples)));
            std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(samples.data())};
            const int n = swr_convert(m_swr, out, static_cast<int>(samples.size()),
                                      const_cast<const std::uint8_t**>(m_frame->extended_data), m_frame->nb_samples);
            if (n > 0) samples.resize(static_cast<std::size_t>(n));
            else samples.clear();
            m_ok = m_audioEncoder.Encode(samples, AudioSink()) && m_ok;
            av_frame_unref(m_frame);
        }
    }

    CAudioEncoder::Sink AudioSink()
    {
        return [this](std::int64_t first, std::span<const std::uint8_t> data) {
            const int rate = m_audioEncoder.SampleRate();
            KvxAudioPayload audio;
            audio.codec = *m_o.audio;
            audio.sampleRate = static_cast<std::uint32_t>(rate);
            audio.data = data;
            m_ok = m_file.WriteAudio(audio, m_audioStartMs + std::max<std::int64_t>(0, first) * 1000 / rate) && m_ok;
        };
    }

    InputOptions m_o;
    CKvxFileWriter m_file;
    AVFormatContext* m_in = nullptr;
    AVBSFContext* m_bsf = nullptr;
    AVCodecContext* m_videoDecoder = nullptr;
    AVCodecContext* m_audioDecoder = nullptr;
    SwsContext* m_sws = nullptr;
    SwrContext* m_swr = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    std::unique_ptr<CVideoEncoder> m_encoder;
    CAudioEncoder m_audioEncoder;
    std::map<std::int64_t, std::int64_t> m_encodedTimes;
    std::int64_t m_encodedCount = 0;
    kvx::VideoCodec m_codec = kvx::VideoCodec::H264;
    AVRational m_rate{25, 1};
    int m_videoIndex = -1;
    int m_audioIndex = -1;
    int m_width = 0;
    int m_height = 0;
    std::int64_t m_startMs = 0;
    std::int64_t m_lastMs = 0;
    std::int64_t m_audioStartMs = -1;
    std::int64_t m_firstVideoTs = AV_NOPTS_VALUE;
    std::int64_t m_firstAudioTs = AV_NOPTS_VALUE;
    bool m_wroteVideo = false;
    bool m_ok = true;
};

}  // namespace

bool WriteRecordingFromInput(const InputOptions& options, const std::string& input,
                             const std::string& path, InputResult* result, std::string* error)
{
    CInputWriter writer(options);
    return writer.Run(input, path, result, error);
}

}  // namespace KVX_WRITER
