#pragma once

#include "Platform/PlayModule/Engine/DecoderThreads.h"
#include "Platform/PlayModule/Engine/FramePacer.h"
#include "Platform/PlayModule/Engine/FrameTimeline.h"
#include "Platform/PlayModule/Engine/FrameStepper.h"
#include "Platform/PlayModule/Engine/GroupReplay.h"
#include "Platform/PlayModule/Output/FrameConverter.h"
#include "Platform/PlayModule/Source/MediaSource.h"
#include "Platform/PlayModule/Source/SharedKeyFrameIndex.h"
#include "Platform/PlayModule/Output/PlanarPicture.h"
#include "Platform/PlayModule/Output/ShownPictures.h"
#include "Platform/PlayModule/Engine/PlayClock.h"
#include "Platform/PlayModule/Engine/ReversePlay.h"
#include "Platform/PlayModule/Engine/ReverseTurns.h"
#include "Platform/PlayModule/Engine/SeekTarget.h"
#include "Platform/PlayModule/PlayModuleTypes.h"
#include "Platform/PlayModule/Engine/StreamDecoder.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace PLAY_MODULE {

class CPlayModule;
class IPlayModuleListener;
class IStreamTap;

// The play thread of one module: reads, decodes, paces and hands over frames.
// Public calls come from any thread and only queue requests; the source and
// the decoders belong to the play thread alone.
class CPlayEngine final : private IReversePlayHost, private IFrameStepHost {
public:
    CPlayEngine(CPlayModule* owner, IPlayModuleListener* listener);
    ~CPlayEngine();
    CPlayEngine(const CPlayEngine&) = delete;
    CPlayEngine& operator=(const CPlayEngine&) = delete;

    // Takes an opened source; starts the play thread (paused until Play).
    bool Start(std::unique_ptr<IMediaSource> source);
    // Joins the play thread; no callback comes after it returns.
    void Shutdown();

    void Play();
    void Pause();
    void Resume();
    void Seek(std::int64_t timeMs, bool exact);
    void Step(bool forward);
    void SetBackward(bool backward);
    bool IsBackward() const { return m_backward.load(); }
    // Whether the last end reported was the file's start, reached backward.
    bool EndedBackward() const { return m_endedBackward.load(); }
    bool SetSpeed(double speed);
    double Speed() const;
    bool IsPlaying() const;
    bool IsPaused() const;

    // Group play: follow a shared clock whose time is offsetMs + file time.
    void JoinClock(std::shared_ptr<CPlayClock> clock, std::int64_t offsetMs);
    void LeaveClock();
    void SetTimeSource(std::shared_ptr<ITimeSource> source);
    // Before play: reverse play starts at the end of the file.
    void StandAtEnd();
    // On a shared clock, the end of the file holds the clock until this
    // player leaves it (its next file joins first), or a bound passes.
    void SetHoldClockAtEnd(bool hold);

    // Reported through OnFileTimeDone when the play thread starts.
    void ReportFileTimes(unsigned start, unsigned end);
    void SetColor(int brightness, int contrast, int saturation, int hue);
    void SetStreamTap(std::shared_ptr<IStreamTap> tap);
    // The recording's key frames, once known: how long a group lasts
    // before reverse play has decoded one.
    void SetKeyFrameIndex(std::shared_ptr<const CSharedKeyFrameIndex> index) { m_keyIndex = std::move(index); }
    void EnableOverlays(bool enable);
    void SetAudioSink(std::function<void(const AVFrame&)> sink);

    // Facts, readable from any thread (also inside callbacks).
    std::int64_t CurrentTimeMs() const { return m_currentMs.load(); }
    std::int64_t FileStartAbsMs() const { return m_startAbsMs.load(); }
    void SetFileStartAbsMs(std::int64_t ms) { m_startAbsMs = ms; }
    std::int64_t DurationMs() const { return m_durationMs; }
    double FrameRate() const { return m_frameRate; }
    int Width() const { return m_width.load(); }
    int Height() const { return m_height.load(); }
    std::int64_t ShownFrames() const { return m_shownFrames.load(); }
    // Bytes of decoded pictures held for reverse play and back-steps, as of
    // the last request or reverse frame the play thread served.
    std::size_t ReverseHeldBytes() const { return m_reverseBytes.load(); }
    // Copy of the last shown picture; false before the first frame.
    bool CopyShownPicture(PlanarPicture& out) const;
    // The same, whole: a picture reverse play kept smaller is decoded again.
    bool CopyWholeShownPicture(PlanarPicture& out);
    const AVCodecParameters* VideoParameters() const;
    const AVCodecParameters* AudioParameters() const;

    static void SetRenderType(int type);
    static int RenderType();

private:
    struct Command {
        enum Kind { SeekTo, StepForward, StepBackward, SettleAt, ShowWhole } kind = SeekTo;
        std::int64_t timeMs = 0;
        bool exact = false;
        std::uint64_t number = 0;
    };

    void Queue(std::unique_lock<std::mutex>& lock, Command command);
    void Run();
    bool WaitForWork(std::optional<Command>& command);
    void Execute(const Command& command);
    void PlayForwardOnce();
    void PlayBackwardOnce();
    // Playing back: decodes the group before while the shown one plays.
    void DecodeAheadWhilePlaying();
    std::int64_t AheadLeadMs() const;
    std::int64_t ClockWallUs() const;
    void TimeBlockDecoding(std::int64_t startUs, bool whole);
    bool ClockStands() const;
    bool ShowDueWhileDecoding();
    bool KeepsTurnHoldForAhead(const PlanarPicture* picture);
    bool AheadOnCourse() const;
    bool GivesWayToKeyFrames();
    // Reverse play or stepping back ended: its pictures and their memory go.
    void ReleaseReverse();
    bool TakeReverseEnd();

    // Paused: show the frame of the clock's moment (a lagging player catches
    // up to it, one ahead goes back to it).
    bool SettleDue() const;
    std::int64_t PausedMomentMs() const;
    void SettleAt(std::int64_t targetMs);
    void SettleForward(std::int64_t targetMs);
    void SettleBackward(std::int64_t targetMs);
    void SettleBySeek(std::int64_t targetMs);
    void ShowWholePicture();
    bool SettleInterrupted() const;
    // A request other than a step back waits, or play resumed.
    bool OtherRequestWaits() const;
    bool RequestQueued() const;

    AVFramePtr NextFrame() override;
    bool FeedDecoder();
    bool TakeDecodedFrames();
    void TimeGuessedFrames(std::size_t count);
    bool AwaitingTime() const;
    void HandlePacket(MediaPacket& packet);
    void AdaptDecoderThreads();
    void FeedVideo(MediaPacket& packet);
    void TakeThreadsNow();
    int DecoderThreads() const;
    std::int64_t FrameTimeMs(const AVFrame& frame) const override;
    std::int64_t FrameDurationMs(const AVFrame& frame) const;

    // dueAtOnce: set when the frame was due without a wait.
    bool WaitUntilDue(std::int64_t timeMs, bool* dueAtOnce = nullptr);
    std::int64_t LateUs(std::int64_t timeMs) const;
    bool InGroup() const;
    bool IsLate(std::int64_t timeMs) const;
    bool CatchUpWithGroup(std::int64_t timeMs);
    bool KeyFrameOnTheWay(std::int64_t momentMs) const;
    bool ShouldDropLate(std::int64_t timeMs, bool key);
    bool PassesOverLate(const PlanarPicture& picture) const;
    bool GroupsOutpaced() const;
    bool KeyFramesComeOften(double speed) const;
    std::int64_t GroupSpanMs() const;
    bool PutsOffPreroll();
    void NoteTurn();
    bool TurnsStill(std::uint64_t decoded) const;
    bool LongToPlayBack(std::int64_t wallUs) const;
    void NoteTakeOver();
    void NoteGroupPace(double keepsPaceBelow, std::int64_t nowUs);
    void PresentFrame(const AVFrame& frame) override;
    // A frame not due yet is converted into a spare picture while it waits,
    // so that its time leaves only the hand-over to do.
    bool DueNow(std::int64_t timeMs) const;
    void PrepareFrame(const AVFrame& frame);
    bool Prepared(const AVFrame& frame) const;
    bool MakePicture(const AVFrame& frame, PlanarPicture& out);
    void DecodeAheadWhileStanding();
    void ShowPicture(const PlanarPicture& picture) override;
    void HandOverShown();
    void FillFrameInfo(PM_FRAME_INFO& info, std::int64_t timeMs, bool key, int size,
                       PM_FRAME_KIND kind) const;
    void ReachedEnd() override;
    void ReachedEndPlaying(bool backward);
    void DecodeAudio(MediaPacket& packet, const std::function<void(const AVFrame&)>& sink);

    void DoSeek(std::int64_t timeMs, bool exact);
    void ResetDecoding();
    void RestartDecodingAt(std::int64_t timeMs) override;
    void RepositionAfterReverse();
    bool AheadInterrupted() override;
    bool Quitting() const override;
    std::int64_t ShownMs() const override;
    void FinishCommand(const Command& command);
    bool ConvertFrame(const AVFrame& frame, int width, int height, PlanarPicture& out) override;
    // Leaves the pause; requestPlay also starts a player that never played.
    void Unpause(bool requestPlay);
    // Both with m_mutex held: the group may swap the clock at any time.
    bool ClockOwner() const;
    std::int64_t ClockTime(std::int64_t fileMs) const;
    void HoldSharedClock();
    void ReleaseHeldClock();
    void HoldClockForTurn(bool decodes);
    void ReleaseTurnHold();

    CPlayModule* m_owner;
    IPlayModuleListener* m_listener;
    std::unique_ptr<IMediaSource> m_source;
    std::unique_ptr<CDecoderThreads::Stream> m_counted;
    CStreamDecoder m_video;
    CStreamDecoder m_audio;
    CFrameConverter m_converter;
    std::deque<AVFramePtr> m_decoded;
    AVFramePtr m_held;
    CReversePlay m_reverse;
    CFrameStepper m_stepper;
    bool m_sourceEnded = false;
    bool m_catchUp = false;
    bool m_caughtUp = false;  // backward: the next picture is the group's moment
    bool m_steppingBack = false;  // stepped back since play last ran
    bool m_playingAhead = false;  // the group before is decoded while playing back
    bool m_aheadGaveWay = false;  // it ended as fast play fell behind
    std::int64_t m_aheadStartUs = 0;
    // Play time left in the shown block when decoding the group before
    // begins: twice what the last block's decoding took (0 until one was
    // timed).
    std::int64_t m_aheadLeadMs = 0;
    // Playing back faster than normal speed, whole groups are decoded only
    // below this speed (0: not known yet); at or above it key frames alone,
    // until the figure is stale.
    double m_groupsKeepPaceBelow = 0;
    std::int64_t m_paceFoundUs = 0;
    std::int64_t m_groupSpanMs = 0;  // the footage of the last whole group decoded
    std::shared_ptr<const CSharedKeyFrameIndex> m_keyIndex;
    CReverseTurns m_turn;
    CReverseTurns m_takingOver;
    bool m_readiedStanding = false;  // played back on a standing clock: a file readied to take over
    std::uint64_t m_takeOverBlocks = 0;  // blocks decoded when it took over
    std::int64_t m_prerollWaitFromUs = INT64_MIN;  // a file readied backward put its decoding off
    const int m_aheadStaggerSteps;
    std::int64_t m_lastKeyFedMs = INT64_MIN;
    std::int64_t m_keyIntervalMs = 0;  // between the last two key frames fed in a row
    std::uint64_t m_keyFramesFed = 0;
    CGroupReplay m_replay;
    bool m_audioFailed = false;
    std::mutex m_converterMutex;
    CSeekTarget m_seekTarget;
    CFrameTimeline m_timeline;
    CFramePacer m_pacer;
    std::int64_t m_presentedMs = INT64_MIN;
    std::uint64_t m_framesDecoded = 0;  // numbers the frames (in their opaque field)
    std::uint64_t m_preparedFrame = 0;  // the frame made into the spare picture, 0: none
    unsigned m_preparedColors = 0;
    std::atomic<unsigned> m_colorChanges{0};

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Command> m_commands;
    std::uint64_t m_commandsQueued = 0;
    std::uint64_t m_commandsDone = 0;
    std::condition_variable m_done;
    bool m_playRequested = false;
    bool m_paused = false;
    bool m_settlePending = false;
    bool m_ended = false;
    std::shared_ptr<CPlayClock> m_ownClock;
    std::shared_ptr<CPlayClock> m_clock;
    std::int64_t m_clockOffsetMs = 0;
    bool m_holdClockAtEnd = false;
    std::shared_ptr<CPlayClock> m_heldClock;
    bool m_holdsForTurn = false;
    bool m_turnPending = false;  // turned backward, no picture back yet
    std::shared_ptr<IStreamTap> m_tap;
    std::function<void(const AVFrame&)> m_audioSink;

    mutable std::mutex m_pictureMutex;
    CShownPictures m_pictures;
    bool m_hasShown = false;
    bool m_shownReduced = false;  // play thread
    // A copy waits for the shown picture decoded whole.
    bool m_wholeWanted = false;
    std::shared_ptr<PlanarPicture> m_wholeShown;

    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_backward{false};
    std::atomic<bool> m_endedBackward{false};
    std::atomic<bool> m_overlays{false};
    std::atomic<std::int64_t> m_currentMs{0};
    std::atomic<std::int64_t> m_startAbsMs{0};
    std::atomic<int> m_width{0};
    std::atomic<int> m_height{0};
    std::atomic<std::int64_t> m_shownFrames{0};
    std::atomic<std::size_t> m_reverseBytes{0};
    bool m_reverseEnded = false;
    std::int64_t m_durationMs = 0;
    double m_frameRate = 25.0;
    std::thread m_thread;
    bool m_reportTimes = false;
    unsigned m_reportStart = 0;
    unsigned m_reportEnd = 0;
};

}  // namespace PLAY_MODULE
