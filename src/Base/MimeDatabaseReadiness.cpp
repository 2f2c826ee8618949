#include "Base/MimeDatabaseReadiness.h"

#include <atomic>

namespace SF_SOFT_BASE {
namespace {

std::atomic<bool> g_read{false};

}  // namespace

void MarkMimeDatabaseRead()
{
    g_read = true;
}

bool IsMimeDatabaseRead()
{
    return g_read;
}

}  // namespace SF_SOFT_BASE
