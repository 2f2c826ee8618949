#include "PlayManager/AVIRecorder.h"

#include <boost/make_shared.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "Base/AtomicFileWriter.h"
#include "Base/SFSystem.h"
#include "Platform/PlayModule/Stream/PlaySdkWrapper.h"

namespace {

constexpr unsigned long kSourceBufferBytes = 0x100000;
constexpr int kRetrySleepMs = 10;
constexpr int kDrainSleepMs = 5;
// A converter that refuses one block, or does not drain, for this long is
// stuck; the recording gives up rather than holding playback.
constexpr auto kRetryLimit = std::chrono::seconds(5);
constexpr auto kDrainLimit = std::chrono::seconds(10);

}  // namespace

AVIRecorder::AVIRecorder() : m_converter(boost::make_shared<PLAY_MODULE::CPlaySdkWrapper>())
{
    m_converter->SetAVIConvertListener(this);
}

AVIRecorder::~AVIRecorder()
{
    if (m_running)
        Stop();
    m_converter->SetAVIConvertListener(nullptr);
}

void AVIRecorder::SetSplitSize(std::uint64_t bytes) { m_converter->SetAVISplitSize(bytes); }

int AVIRecorder::Start(const char* path)
{
    if (!path)
        return 0;
    {
        std::lock_guard lock(m_mutex);
        m_path = path;
        m_firstFrameTime.reset();
    }
    m_failureTold = false;
    m_converter->SetStreamOpenMode(PLAY_MODULE::CPlaySdkWrapper::kStreamMode);
    m_converter->OpenStream(kSourceBufferBytes);
    m_running = 1;
    std::string copy(path);
    std::vector<char> writable(copy.begin(), copy.end());
    writable.push_back('\0');
    if (!m_converter->StartAVIConvert(writable.data())) {
        m_running = 0;
        return 0;
    }
    const int played = m_converter->Play(nullptr);
    if (!played) {
        m_running = 0;
        m_converter->StopAVIConvert();
        return 0;
    }
    return played;
}

int AVIRecorder::InputData(unsigned char* data, int length, const PLAY_MODULE::PM_FRAME_INFO& info)
{
    if (!m_running)
        return 1;
    {
        std::lock_guard lock(m_mutex);
        m_frameTime = {info.nYear, info.nMonth, info.nDay, info.nHour, info.nMinute, info.nSecond};
        if (!m_firstFrameTime && length > 0 && data)
            m_firstFrameTime = m_frameTime;
    }
    if (length <= 0 || !data)
        return 1;
    const auto deadline = std::chrono::steady_clock::now() + kRetryLimit;
    while (!FeedConverter(data, static_cast<unsigned long>(length))) {
        if (!m_running || std::chrono::steady_clock::now() >= deadline)
            break;
        SF_SOFT_BASE::CSFSystem::Sleep(kRetrySleepMs);
    }
    return 1;
}

int AVIRecorder::FeedConverter(unsigned char* data, unsigned long length)
{
    return m_converter->InputData(data, length);
}

int AVIRecorder::Stop()
{
    m_running = 0;
    const auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
    while (m_converter->GetBufferValue(PLAY_MODULE::CPlaySdkWrapper::kBufferOutstanding) +
               m_converter->GetSourceBufferRemain() !=
           0) {
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        SF_SOFT_BASE::CSFSystem::Sleep(kDrainSleepMs);
    }
    const int written = m_converter->StopAVIConvert();
    m_converter->Stop();
    const int closed = m_converter->CloseStream();
    if (written) {
        NameFirstFile();
        return closed;
    }
    // A clip whose completion failed is kept unfinished where it was written.
    std::string path;
    {
        std::lock_guard lock(m_mutex);
        path = m_path;
    }
    std::error_code error;
    ReportFailure(std::filesystem::is_regular_file(path, error) ? path : std::string(), 0);
    return 0;
}

void AVIRecorder::SetFailureReport(FailureReport report)
{
    m_failureReport = std::move(report);
}

void AVIRecorder::OnAVIConvertFailed(const char* keptPath, std::int64_t keptMs)
{
    m_running = 0;
    ReportFailure(keptPath ? keptPath : "", keptMs);
}

void AVIRecorder::ReportFailure(const std::string& keptPath, std::int64_t keptMs)
{
    if (m_failureTold.exchange(true))
        return;
    const std::string kept = keptPath.empty() ? std::string() : NameKeptPart(keptPath);
    if (m_failureReport)
        m_failureReport(kept, kept.empty() ? 0 : keptMs);
}

std::string AVIRecorder::NameKeptPart(const std::string& keptPath)
{
    std::string named;
    {
        std::lock_guard lock(m_mutex);
        named = keptPath == m_path && m_firstFrameTime ? NameAt(m_path, *m_firstFrameTime) : keptPath;
    }
    const std::string kept = SF_SOFT_BASE::CAtomicFileWriter::RenameToFreeName(
        keptPath, SF_SOFT_BASE::CAtomicFileWriter::IncompleteName(named));
    return kept.empty() ? keptPath : kept;
}

void AVIRecorder::OnAVINextFile(unsigned int part, int* goOn, char* name)
{
    MakeFileName(part, goOn, name);
}

std::string AVIRecorder::FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string AVIRecorder::TagOf(const std::string& path)
{
    // Only the file name is looked at: a folder's "[" or "_" is no tag.
    const std::size_t nameStart = FolderOf(path).size();
    std::size_t start = path.find('[', nameStart);
    if (start == std::string::npos) {
        start = path.rfind('_');
        if (start == std::string::npos || start < nameStart)
            return {};
    }
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < start)
        return {};
    return path.substr(start, dot - start);
}

void AVIRecorder::MakeFileName(unsigned int, int* goOn, char* name)
{
    if (goOn)
        *goOn = m_running ? 1 : 0;
    if (!name)
        return;
    std::string path;
    FrameTime time;
    {
        std::lock_guard lock(m_mutex);
        path = m_path;
        time = m_frameTime;
    }
    std::snprintf(name, PLAY_MODULE::kAviNameBufferSize, "%s", NameAt(path, time).c_str());
}

std::string AVIRecorder::NameAt(const std::string& path, const FrameTime& time)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return FolderOf(path) + stamp + TagOf(path) + ".avi";
}

// The first file is written under the clip path and named, like the further
// ones, from the time of its first stream block once it is complete.
void AVIRecorder::NameFirstFile()
{
    std::string path;
    std::string named;
    {
        std::lock_guard lock(m_mutex);
        if (!m_firstFrameTime)
            return;
        path = m_path;
        named = NameAt(path, *m_firstFrameTime);
    }
    std::error_code error;
    if (named == path || !std::filesystem::is_regular_file(path, error) || std::filesystem::exists(named, error))
        return;
    std::filesystem::rename(path, named, error);
}
