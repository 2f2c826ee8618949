#pragma once

#include <memory>

namespace PLAY_MODULE {
class CKvxSigner;
}

namespace KVX_WRITER {

// The project's TEST recorder key (tools/KvxWriter/keys). It is published
// with the sources and proves nothing outside tests and demonstrations;
// real recorders sign with their own private key.
std::shared_ptr<const PLAY_MODULE::CKvxSigner> TestRecorderSigner();

}  // namespace KVX_WRITER
