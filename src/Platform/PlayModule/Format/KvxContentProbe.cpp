#include "Platform/PlayModule/Format/KvxContentProbe.h"

#include <fcntl.h>
#include <unistd.h>

#include "Platform/PlayModule/Format/KvxRecordHeader.h"

namespace PLAY_MODULE {

bool LooksLikeKvx(std::span<const std::uint8_t> head)
{
    KvxRecordHeader header;
    return head.size() >= kvx::kHeaderSize && header.Decode(head.data());
}

bool FileLooksLikeKvx(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::uint8_t head[kvx::kHeaderSize];
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    ::close(fd);
    return n == static_cast<ssize_t>(sizeof head) && LooksLikeKvx(head);
}

}  // namespace PLAY_MODULE
