#include "Platform/PlayModule/Output/SnapshotWriter.h"

#include "Base/AtomicFileWriter.h"
#include "Platform/PlayModule/Source/MediaPacket.h"
#include "Platform/PlayModule/Engine/StreamDecoder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace PLAY_MODULE {

namespace {

struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};

// Wraps the picture's planes in a frame without copying.
void PointAtPlanes(const PlanarPicture& picture, AVFrame& frame)
{
    frame.format = AV_PIX_FMT_YUVJ420P;
    frame.width = picture.width & ~1;
    frame.height = picture.height & ~1;
    frame.data[0] = const_cast<std::uint8_t*>(picture.Luma());
    frame.data[1] = const_cast<std::uint8_t*>(picture.U());
    frame.data[2] = const_cast<std::uint8_t*>(picture.V());
    frame.linesize[0] = picture.width;
    frame.linesize[1] = picture.Layout().ChromaWidth();
    frame.linesize[2] = picture.Layout().ChromaWidth();
}

AVFramePtr ToBgr(const AVFrame& source)
{
    AVFramePtr bgr = MakeFrame();
    if (!bgr)
        return nullptr;
    bgr->format = AV_PIX_FMT_BGR24;
    bgr->width = source.width;
    bgr->height = source.height;
    if (av_frame_get_buffer(bgr.get(), 0) < 0)
        return nullptr;
    SwsContext* scaler = sws_getContext(source.width, source.height, AV_PIX_FMT_YUV420P,
                                        source.width, source.height, AV_PIX_FMT_BGR24,
                                        SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler)
        return nullptr;
    const int rows =
        sws_scale(scaler, source.data, source.linesize, 0, source.height, bgr->data, bgr->linesize);
    sws_freeContext(scaler);
    return rows > 0 ? std::move(bgr) : nullptr;
}

bool EncodeFrame(AVCodecID codecId, const AVFrame& frame, int quality,
                 std::vector<unsigned char>& out)
{
    const AVCodec* codec = avcodec_find_encoder(codecId);
    if (!codec)
        return false;
    std::unique_ptr<AVCodecContext, CodecContextDeleter> context(avcodec_alloc_context3(codec));
    if (!context)
        return false;
    context->width = frame.width;
    context->height = frame.height;
    context->pix_fmt = AVPixelFormat(frame.format);
    context->time_base = {1, 25};
    if (codecId == AV_CODEC_ID_MJPEG) {
        // qscale 2 (best) .. 31 from a 1..100 quality.
        const int qscale = std::max(2, 31 - (std::clamp(quality, 1, 100) * 29) / 100);
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = FF_QP2LAMBDA * qscale;
        context->color_range = AVCOL_RANGE_JPEG;
    }
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return false;
    AVFrame* input = av_frame_clone(&frame);
    if (!input)
        return false;
    input->quality = context->global_quality;
    const bool sent = avcodec_send_frame(context.get(), input) >= 0;
    av_frame_free(&input);
    AVPacketPtr packet(av_packet_alloc());
    if (!packet || !sent || avcodec_send_frame(context.get(), nullptr) < 0 ||
        avcodec_receive_packet(context.get(), packet.get()) < 0)
        return false;
    out.assign(packet->data, packet->data + packet->size);
    return true;
}

}  // namespace

bool CSnapshotWriter::Encode(const PlanarPicture& picture, PM_IMAGE_TYPE type, int jpegQuality,
                             std::vector<unsigned char>& out)
{
    if (picture.width < 2 || picture.height < 2 ||
        picture.bytes.size() < PlanarPicture::SizeFor(picture.width, picture.height))
        return false;
    AVFramePtr planes = MakeFrame();
    if (!planes)
        return false;
    PointAtPlanes(picture, *planes);
    if (type == PM_IMAGE_JPEG)
        return EncodeFrame(AV_CODEC_ID_MJPEG, *planes, jpegQuality, out);
    auto bgr = ToBgr(*planes);
    return bgr && EncodeFrame(AV_CODEC_ID_BMP, *bgr, 0, out);
}

namespace {

bool WriteAllAndSync(const std::string& path, const std::vector<unsigned char>& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written > 0)
            done += std::size_t(written);
        else
            ok = written < 0 && errno == EINTR;
    }
    ok = ok && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// Gives the finished temporary the snapshot's name unless a file has it.
bool PlaceWithoutReplacing(const std::string& temporary, const std::string& path)
{
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // File systems without that rename still refuse a link over a name.
    bool placed = (errno == EINVAL || errno == ENOSYS) && ::link(temporary.c_str(), path.c_str()) == 0;
    ::unlink(temporary.c_str());
    return placed;
}

}  // namespace

bool CSnapshotWriter::WriteNew(const PlanarPicture& picture, const std::string& path, PM_IMAGE_TYPE type)
{
    std::vector<unsigned char> bytes;
    if (!Encode(picture, type, kDefaultJpegQuality, bytes))
        return false;
    const SF_SOFT_BASE::CHeldTemporary temporary = SF_SOFT_BASE::CHeldTemporary::CreateBeside(path);
    if (!temporary.IsValid())
        return false;
    if (!WriteAllAndSync(temporary.Path(), bytes)) {
        ::unlink(temporary.Path().c_str());
        return false;
    }
    return PlaceWithoutReplacing(temporary.Path(), path);
}

std::string CSnapshotWriter::WriteToFreeName(const PlanarPicture& picture, const std::string& path,
                                             PM_IMAGE_TYPE type, int jpegQuality)
{
    std::vector<unsigned char> bytes;
    if (!Encode(picture, type, jpegQuality, bytes))
        return {};
    SF_SOFT_BASE::CAtomicFileWriter file(path);
    return file.Open() && file.Write(bytes.data(), bytes.size()) ? file.CommitToFreeName() : std::string();
}

}  // namespace PLAY_MODULE
