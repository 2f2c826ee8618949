#pragma once

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <atomic>
#include <memory>
#include <mutex>

#include "PlayManager/FrameHandOver.h"
#include "PlayManager/IPlayLibrary.h"
#include "Platform/PlayModule/IPlayModuleListener.h"

class AVIRecorder;
class IOverlayDrawer;
class IPlayObjectListener;

// Play types: exact play (preview and export pages) and no index handling.
enum PLAY_OBJECT_TYPE : int { PLAY_TYPE_EXACT = 1, PLAY_TYPE_NO_INDEX = 3 };

// The play type the main page opens a file type (its code by extension)
// with: every recording there gets its index, reverse play needs it.
inline int PlayTypeOfFileType(int fileType)
{
    return fileType == PLAY_TYPE_NO_INDEX ? 0 : fileType;
}

// One opened recording: owns its library object, forwards the manager's
// requests to it, relays the library's callbacks to the page's listener on
// the GUI loop and hands decoded frames over. Called on the play loop only;
// the library calls its listener operations on the library's own threads.
class CPlayObject : public PLAY_MODULE::IPlayModuleListener,
                    public boost::enable_shared_from_this<CPlayObject> {
public:
    // handle: the play handle to answer to (null: a new one).
    CPlayObject(int playType, const PlayLibraryFactory& libraryFactory,
                boost::shared_ptr<IOverlayDrawer> overlayDrawer, void* handle = nullptr);
    ~CPlayObject() override;
    CPlayObject(const CPlayObject&) = delete;
    CPlayObject& operator=(const CPlayObject&) = delete;

    void* GetHandle() const { return m_handle; }
    IPlayLibrary* Library() const { return m_library.get(); }
    void SetListener(const boost::shared_ptr<IPlayObjectListener>& listener);
    void SetDrawParam(boost::shared_ptr<void>, boost::shared_ptr<void>) {}

    int Open(const char* path);
    int Play(void* window);
    int Play(void* window, unsigned int mode);
    int Stop();
    int Close();
    int Pause();
    int Resume();
    int Seek(unsigned int time);
    int SeekByPercent(float percent);
    int SeekByPercentEx(float percent, unsigned int);
    int SeekExact(unsigned int time, unsigned int);
    int SetSpeed(float speed);
    int OpenAudio();
    int CloseAudio();
    int GetVolume();
    int SetVolume(int volume);
    int AdjustWaveAudio(int value);
    int EnableVerticalSync(int enable);
    int PlayForward();
    int PlayBackward();
    int SetPlayDirection(unsigned long direction);
    int GetPlayPort();
    int SnapPicture(const char* path, PLAY_MODULE::PM_IMAGE_TYPE type);
    int GetMediaInfo(PLAY_MODULE::MEDIA_INFO* info);
    unsigned int GetFileStartTime();
    unsigned int GetFileEndTime();
    unsigned int GetCurrentPlayTime();
    unsigned int GetFilePlayedTime();
    int GetColor(int* brightness, int* contrast, int* saturation, int* hue);
    int SetColor(int brightness, int contrast, int saturation, int hue);
    int GetKeyFramePos(unsigned int time, PLAY_MODULE::FRAME_POS* pos);
    int GetNextKeyFramePos(unsigned int time, PLAY_MODULE::FRAME_POS* pos);
    int GetKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos);
    int GetNextKeyFramePosByAbsTime(_SYSTEMTIME time, PLAY_MODULE::FRAME_POS& pos);
    int GetRefValue(unsigned char* buffer, unsigned int* length);
    int SetRefValue(unsigned char* data, unsigned int length);

    int OpenIVSTrack(int drawType);
    int SetIVSDrawType(int drawType);
    int CloseIVSTrack();
    int StartDataRecord(const char* path, int type);
    int StopDataRecord();
    // The AVI recorder, once the first AVI clip made it.
    boost::shared_ptr<AVIRecorder> Recorder() const;

    int StepForward();
    int StepBackward();
    void MonitorPlayTimeChange();
    int Preroll() { return m_library->Preroll(); }
    int HoldGroupAtEnd(int hold) { return m_library->HoldGroupAtEnd(hold); }
    int PlayIfPrerolled(IPlayLibrary* after) { return m_library->PlayIfPrerolled(after); }
    // A readied file that starts, on the library's thread, the moment this
    // one ends (null: none); in a group it takes this one's place there.
    void SetNextFile(const boost::shared_ptr<CPlayObject>& next);

    // Library callbacks (library threads).
    void OnFileRefFinished(PLAY_MODULE::CPlayModule* module, int result) override;
    void OnFileEnd(PLAY_MODULE::CPlayModule* module) override;
    void OnStreamData(PLAY_MODULE::CPlayModule* module, unsigned char* data, int length,
                      PLAY_MODULE::PM_FRAME_INFO* info, int reserved) override;
    void OnFrameVisible(PLAY_MODULE::CPlayModule* module, int renderKind, unsigned char* data,
                        int value, PLAY_MODULE::PM_FRAME_INFO* info) override;
    void OnSharedFrameVisible(PLAY_MODULE::CPlayModule* module, int renderKind,
                              std::shared_ptr<const unsigned char> frame, int value,
                              PLAY_MODULE::PM_FRAME_INFO* info) override;
    void OnFileTimeDone(PLAY_MODULE::CPlayModule* module, unsigned start, unsigned end) override;
    void OnRecordFailed(PLAY_MODULE::CPlayModule* module, const std::string& keptPath, std::int64_t keptMs) override;
    int OnOverlayData(PLAY_MODULE::CPlayModule* module, unsigned char* data, int kind, int length,
                      int value1, int value2) override;

    // Play-loop relays.
    void Task_OnFileRefFinished(int result);
    void Task_OnFileEnd(int forward);
    void Task_OnPlayTimeInfoChanged(unsigned int start, unsigned int end);

private:
    boost::shared_ptr<IPlayObjectListener> LockListener() const;
    bool ShouldStopWaiting() const;
    int OverlayValue();
    void FrameVisible(int renderKind, const CFrameHandOver::Frame& frame, PLAY_MODULE::PM_FRAME_INFO* info);
    void QTRender(const CFrameHandOver::Frame& frame);
    void DDrawRender(const CFrameHandOver::Frame& frame);
    void ReportSeekDone();
    void ApplyFileTimeFallback();
    void PostPosition(unsigned int time);
    unsigned int PositionTime();
    // Reports the position a step reached; returns the step's result.
    int AfterStep(int result);
    void ReleaseOverlayPort();

    void* const m_handle;
    const int m_playType;
    std::unique_ptr<IPlayLibrary> m_library;
    boost::shared_ptr<IOverlayDrawer> m_overlay;
    mutable std::mutex m_listenerMutex;
    boost::weak_ptr<IPlayObjectListener> m_listener;
    CFrameHandOver m_handOver;
    boost::shared_ptr<AVIRecorder> m_recorder;
    int m_recordType = -1;
    std::atomic<int> m_aviFeeding{0};
    std::atomic<int> m_seekPending{0};
    // A seek or step whose picture's time is still to be reported.
    std::atomic<int> m_positionPending{0};
    // The last position reported, so that a paused object can catch up with
    // a seek whose picture reported before the seek had taken effect.
    std::atomic<unsigned int> m_postedTime{0};
    // Held while overlay data goes to the port and while the port is given
    // back, so no block reaches a port already handed to another object.
    std::mutex m_overlayMutex;
    std::atomic<int> m_overlayPort{0};
    std::atomic<bool> m_overlayOpen{false};
    std::atomic<int> m_stopped{0};
    std::mutex m_nextMutex;
    boost::weak_ptr<CPlayObject> m_next;
};
