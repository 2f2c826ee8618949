#pragma once

#include <string>
#include <vector>

#include "KvxWriter/SyntheticRecording.h"
#include "Platform/PlayModule/Format/KvxRecord.h"

namespace PLAY_MODULE_TEST {

// A private temporary folder, removed with everything in it on destruction.
// A fresh folder "kvxtest-<pid>-..." in the temporary folder, removed with
// the object; folders that ended programs left behind are removed on making
// a new one.
class CSampleFolder {
public:
    CSampleFolder();
    ~CSampleFolder();
    CSampleFolder(const CSampleFolder&) = delete;
    CSampleFolder& operator=(const CSampleFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

    // A synthetic ".kvx" recording named by the recorders' rule (signed with
    // the test key unless options.signer is set or signed is false).
    std::string MakeKvx(KVX_WRITER::SyntheticOptions options, bool signedFile = true,
                        const std::string& recorder = "Cam01", int channel = 1) const;

private:
    std::string m_path;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Every record of a file, in order, through our file reader.
std::vector<PLAY_MODULE::KvxRecord> ReadAllRecords(const std::string& path);

}  // namespace PLAY_MODULE_TEST
