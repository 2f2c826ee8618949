#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <boost/make_shared.hpp>

#include "Export/IExportTimeLine.h"
#include "Export/IExportView.h"

namespace EXPORT_TEST {

// The time line as a map of rows.
class CTimeLineDouble : public IExportTimeLine {
public:
    UISF_Channel* GetChannelRecord(int lineId) override
    {
        const auto found = rows.find(lineId);
        return found == rows.end() ? nullptr : &found->second;
    }
    void SetChannelRecord(const UISF_Channel& record) override
    {
        rows[record.channel] = record;
        segmentsSet += record.segments.size();
    }
    void RemoveChannelRecord(int lineId) override
    {
        rows.erase(lineId);
        ++removals;
    }
    void SetPlayTime(int lineId, int time) override { playTimes[lineId] = time; }

    std::map<int, UISF_Channel> rows;
    std::map<int, int> playTimes;
    std::size_t segmentsSet = 0;  // over every row update
    int removals = 0;
};

// Notes what the UI logic asks of the page.
class CExportPageDouble : public IExportView {
public:
    using Item = std::tuple<std::wstring, int, int, int>;  // group, key, channel key, kind

    CSFVideoWindow* GetVideoWindow() override { return nullptr; }
    boost::shared_ptr<IExportTimeLine> GetTimeLineView() override { return timeLine; }
    void SetTreeCheckable(int checkable) override { checkableCalls.push_back(checkable); }
    void SetTreeItemCheck(const std::wstring& group, int key, int channelKey, int kind, int check) override
    {
        checks[Item(group, key, channelKey, kind)] = check;
    }
    void SetTreeItemHilight(const std::wstring& group, int key, int channelKey, int kind, int hilight) override
    {
        hilights[Item(group, key, channelKey, kind)] = hilight;
    }
    void SetCutTime(unsigned int time, int which) override { cutTimes.emplace_back(which, time); }
    void ShowPlaying(int lineId) override
    {
        playing.push_back(lineId);
        playButtonShowsPause = true;
    }
    void ResetPlayButton() override { playButtonShowsPause = false; }
    void ResetAfterExport() override { ++resets; }
    void PostNoExportFile() override { results.push_back(0); }
    void PostFileTooLarge() override { results.push_back(3); }
    void PostCannotExport(const std::vector<std::wstring>& fileNames, ExportRefusal) override
    {
        results.push_back(4);
        refusedFiles.insert(refusedFiles.end(), fileNames.begin(), fileNames.end());
    }
    void PostExportFailed(const std::wstring&) override { results.push_back(2); }
    void PostNothingPlayable(const std::wstring& fileName) override
    {
        results.push_back(5);
        unplayableFiles.push_back(fileName);
    }
    void OnExportStarted() override { controls.push_back("started"); }
    void OnExportFinished() override { results.push_back(1); }
    void OnExportStopped() override { controls.push_back("stopped"); }
    void SetExportProgress(int percent) override { progress.push_back(percent); }
    void SetPrepareProgress(int percent) override { prepared.push_back(percent); }
    void DisableExportButton() override { controls.push_back("disabled"); }

    boost::shared_ptr<CTimeLineDouble> timeLine = boost::make_shared<CTimeLineDouble>();
    std::vector<std::wstring> refusedFiles;
    std::vector<std::wstring> unplayableFiles;
    std::vector<int> checkableCalls;
    std::map<Item, int> checks;
    std::map<Item, int> hilights;
    std::vector<std::pair<int, unsigned>> cutTimes;
    std::vector<int> playing;
    bool playButtonShowsPause = false;
    std::vector<int> results;  // export-result codes
    std::vector<std::string> controls;
    std::vector<int> progress;
    std::vector<int> prepared;
    int resets = 0;
};

}  // namespace EXPORT_TEST
