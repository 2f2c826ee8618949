#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "Export/IExportObjectListener.h"
#include "KvxWriter/SyntheticRecording.h"

namespace EXPORT_TEST {

// Notes the engine's reports in order: "progress N", "end", "stop", "failed".
class CListenerDouble : public IExportObjectListener {
public:
    void OnExportEnd() override { events.push_back("end"); }
    void OnExportProgress(int percent) override { progress.push_back(percent); }
    void OnExportStop() override { events.push_back("stop"); }
    void OnExportFailed(int) override { events.push_back("failed"); }
    void OnExportClipCut(std::string target, std::string kept) override { cuts.emplace_back(target, kept); }
    void OnExportPicturesRenamed(std::string folder, int count) override { renamed.emplace_back(folder, count); }
    void OnExportClipRenamed(std::string target, std::string placed) override { clipsRenamed.emplace_back(target, placed); }
    void OnExportNothingPlayable(std::string source) override { unplayable.push_back(source); }

    bool Finished() const
    {
        return std::find_if(events.begin(), events.end(),
                            [](const std::string& e) { return e == "end" || e == "stop"; }) != events.end();
    }

    std::vector<std::string> events;
    std::vector<int> progress;
    std::vector<std::pair<std::string, std::string>> cuts;  // clip, where it was kept
    std::vector<std::pair<std::string, int>> renamed;       // folder, pictures renamed
    std::vector<std::pair<std::string, std::string>> clipsRenamed;  // clip, the free name it took
    std::vector<std::string> unplayable;                     // recordings nothing played in
};

// Registers the GUI loop and starts the export and play loops once per test.
void StartLoops();
void StopLoops();
// Runs the GUI loop until the listener heard an end or a stop, then lets
// the reports still queued arrive.
bool WaitForEnd(const CListenerDouble& listener, int ms = 60000);
// Waits until a task posted now to loop has run, and the GUI loop after it.
void Settle(int loopId);

// A recording of the synthetic source (signed with the test key), named by
// the recorders' rule in folder; its path.
std::string MakeRecording(const std::string& folder, KVX_WRITER::SyntheticOptions options,
                          const std::string& recorder = "REC", int channel = 2, int stream = 0);
// Small pictures, a key frame every 2 s.
KVX_WRITER::SyntheticOptions SmallOptions(double seconds);

struct ClipCheck {
    int records = 0;
    int keyFrames = 0;
    int errors = 0;         // digest, chain or signature faults
    bool endsSigned = false;  // the last record is a valid signature
    bool footer = false;      // ends with a key-frame footer that holds
    bool footerNamesRecords = false;  // which the watermark check takes as this clip's
    std::size_t recordsEnd = 0;
};
// Checks a raw clip's records against their chain and signatures.
ClipCheck CheckClip(const std::string& path);
// Video packets of a file by libavformat; -1 when it does not open.
int CountVideoPackets(const std::string& path, double* seconds = nullptr);

// Zeroes the bytes of every video packet of a container recording timed
// in [fromSeconds, toSeconds) from its first; the packets stay indexed.
// False when the file does not open.
bool ZeroVideoPayloads(const std::string& path, double fromSeconds, double toSeconds);

std::vector<std::string> FilesIn(const std::string& folder);
std::string ReadBytes(const std::string& path);

}  // namespace EXPORT_TEST
