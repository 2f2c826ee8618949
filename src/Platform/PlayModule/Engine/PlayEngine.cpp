#include "Platform/PlayModule/Engine/PlayEngine.h"

#include "Base/SFDateTime.h"
#include "Base/SFSignalStack.h"
#include "Base/SFSystem.h"
#include "Platform/PlayModule/Engine/DecoderThreads.h"
#include "Platform/PlayModule/IPlayModuleListener.h"
#include "Platform/PlayModule/Engine/StreamTap.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace PLAY_MODULE {

namespace {

std::atomic<int> g_renderType{PM_RENDER_QT};

constexpr auto kCommandWait = std::chrono::milliseconds(1000);
// A paused player this far from the clock's moment seeks instead of decoding
// its way there.
constexpr std::int64_t kSettleByDecodingMs = 2000;
// Frames decoded after a restart are held back this long while none has a
// sane time stamp: the first one that has times them all.
constexpr std::size_t kMaxFramesAwaitingTime = 32;
// Frames decoded ahead by a player standing before play: past the reordering
// of B-frames, the costly part of a decoder's start.
constexpr std::size_t kFramesDecodedStanding = 2;
// The longest a file's end holds a shared clock for its next file: a next
// file slow to open holds the other windows briefly, then catches up.
constexpr std::int64_t kMaxClockHoldUs = 200'000;
// The longest a player turned backward holds its clock (a group's shared
// one too) at the turn while it decodes its first pictures back.
constexpr std::int64_t kMaxTurnHoldUs = 1'000'000;
// Held on past the turn, the clock goes on once the decoding ahead at its
// pace so far would end this much sooner than needed.
constexpr double kAheadMargin = 1.25;

// Playing back, a file's first decoding ahead starts with this much of the
// shown group left, and up to kAheadStaggerSteps frame times more: windows
// in step then do not all start decoding at the same moment.
constexpr std::int64_t kFirstAheadLeadMs = 1000;
// How long a speed at which whole groups did not keep pace holds: then a
// whole group is tried again.
constexpr std::int64_t kGroupPaceHoldsUs = 5'000'000;
// The longest a picture may stand, at the play speed, for key frames alone
// to be shown while whole groups fall behind.
constexpr double kKeysOnlyHoldMs = 200.0;
// Reverse play begun on a running clock turns until it has decoded this
// many blocks (the one shown first and the one before it).
constexpr std::uint64_t kTurnBlocks = 2;
// The longest a file readied backward puts its decoding off for turns.
constexpr std::int64_t kPrerollWaitUs = 2'000'000;
constexpr int kAheadStaggerSteps = 10;
std::atomic<int> g_enginesMade{0};

// A packet without a time of its own goes to the decoder without one.
std::int64_t DecoderTimeMs(const MediaPacket& packet)
{
    return packet.timed ? packet.timeMs : AV_NOPTS_VALUE;
}

}  // namespace

void CPlayEngine::SetRenderType(int type)
{
    g_renderType = type;
}

int CPlayEngine::RenderType()
{
    return g_renderType.load();
}

CPlayEngine::CPlayEngine(CPlayModule* owner, IPlayModuleListener* listener)
    : m_owner(owner), m_listener(listener), m_reverse(*this), m_stepper(*this, m_reverse),
      m_aheadStaggerSteps(g_enginesMade++ % kAheadStaggerSteps), m_ownClock(std::make_shared<CPlayClock>())
{
    m_clock = m_ownClock;
    m_ownClock->Pause();
}

CPlayEngine::~CPlayEngine()
{
    Shutdown();
}

bool CPlayEngine::Start(std::unique_ptr<IMediaSource> source)
{
    if (!source || m_thread.joinable())
        return false;
    m_source = std::move(source);
    m_counted = std::make_unique<CDecoderThreads::Stream>();
    // One thread until the second key frame, which takes the count the
    // streams playing then call for: the first of modules opened one after
    // another into a grid never holds frame threads (and their pictures).
    if (!m_video.Open(m_source->VideoParameters(), 1)) {
        m_counted.reset();
        return false;
    }
    m_durationMs = std::max<std::int64_t>(0, m_source->DurationMs());
    m_timeline.SetFileLength(m_durationMs);
    m_frameRate = m_source->FrameRate() > 0 ? m_source->FrameRate() : 25.0;
    if (const AVCodecParameters* params = m_source->VideoParameters()) {
        m_width = params->width;
        m_height = params->height;
    }
    m_quit = false;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CPlayEngine::Shutdown()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_done.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    ReleaseReverse();
    m_counted.reset();
}

void CPlayEngine::Play()
{
    Unpause(true);
}

void CPlayEngine::Resume()
{
    Unpause(false);
}

void CPlayEngine::Unpause(bool requestPlay)
{
    {
        std::lock_guard lock(m_mutex);
        // Asked again while it plays, the clock runs on: set back to the
        // picture shown, the next would stand longer.
        const bool running = m_playRequested && !m_paused && !m_ended && !m_clock->IsPaused();
        if (requestPlay)
            m_playRequested = true;
        m_paused = false;
        m_settlePending = false;
        if (ClockOwner() && !running) {
            m_clock->Set(m_currentMs);
            m_clock->Resume();
        }
    }
    m_wake.notify_all();
}

void CPlayEngine::Pause()
{
    {
        std::lock_guard lock(m_mutex);
        m_paused = true;
        m_settlePending = true;
        if (ClockOwner())
            m_clock->Pause();
    }
    m_wake.notify_all();
}

void CPlayEngine::Seek(std::int64_t timeMs, bool exact)
{
    std::unique_lock lock(m_mutex);
    // A newer seek makes a queued one pointless.
    std::erase_if(m_commands, [](const Command& c) { return c.kind == Command::SeekTo; });
    Queue(lock, Command{Command::SeekTo, std::clamp<std::int64_t>(timeMs, 0, m_durationMs), exact});
}

void CPlayEngine::Step(bool forward)
{
    std::unique_lock lock(m_mutex);
    m_paused = true;
    // The step decides the shown frame, not the paused moment.
    m_settlePending = false;
    if (ClockOwner())
        m_clock->Pause();
    Queue(lock, Command{forward ? Command::StepForward : Command::StepBackward, 0, false});
}

void CPlayEngine::Queue(std::unique_lock<std::mutex>& lock, Command command)
{
    command.number = ++m_commandsQueued;
    m_commands.push_back(command);
    m_wake.notify_all();
    // The caller reads the new position right after: wait (bounded) until the
    // play thread has shown the frame, unless the call comes from it.
    if (!m_thread.joinable() || std::this_thread::get_id() == m_thread.get_id())
        return;
    m_done.wait_for(lock, kCommandWait, [&] {
        return m_quit || m_commandsDone >= command.number;
    });
}

void CPlayEngine::SetBackward(bool backward)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_backward == backward)
            return;
        m_backward = backward;
        m_turnPending = backward;
        m_reverseEnded = !backward;
        m_ended = false;
        if (ClockOwner()) {
            m_clock->Set(m_currentMs);
            m_clock->SetBackward(backward);
        }
    }
    m_wake.notify_all();
}

bool CPlayEngine::SetSpeed(double speed)
{
    if (!(speed >= 1.0 / 64 - 1e-9 && speed <= 64.0 + 1e-9))
        return false;
    std::lock_guard lock(m_mutex);
    if (ClockOwner())
        m_clock->SetSpeed(speed);
    m_ownClock->SetSpeed(speed);
    return true;
}

double CPlayEngine::Speed() const
{
    std::lock_guard lock(m_mutex);
    return m_clock->Speed();
}

bool CPlayEngine::IsPlaying() const
{
    std::lock_guard lock(m_mutex);
    return m_playRequested && !m_paused && !m_ended && !m_quit;
}

bool CPlayEngine::IsPaused() const
{
    std::lock_guard lock(m_mutex);
    return m_paused;
}

void CPlayEngine::JoinClock(std::shared_ptr<CPlayClock> clock, std::int64_t offsetMs)
{
    {
        std::lock_guard lock(m_mutex);
        ReleaseHeldClock();
        m_clock = std::move(clock);
        m_clockOffsetMs = offsetMs;
        m_paused = false;
        m_settlePending = false;
        m_playRequested = true;
    }
    m_wake.notify_all();
}

void CPlayEngine::LeaveClock()
{
    {
        std::lock_guard lock(m_mutex);
        ReleaseHeldClock();
        m_clock = m_ownClock;
        m_clockOffsetMs = 0;
        m_ownClock->Set(m_currentMs);
        m_ownClock->SetBackward(m_backward);
        if (m_paused)
            m_ownClock->Pause();
        else
            m_ownClock->Resume();
    }
    m_wake.notify_all();
}

void CPlayEngine::SetTimeSource(std::shared_ptr<ITimeSource> source)
{
    m_ownClock->SetTimeSource(std::move(source));
}

void CPlayEngine::StandAtEnd()
{
    std::lock_guard lock(m_mutex);
    m_currentMs = m_durationMs + 1;
}

void CPlayEngine::SetHoldClockAtEnd(bool hold)
{
    std::lock_guard lock(m_mutex);
    m_holdClockAtEnd = hold;
    // A hold at a turn is not one at the end.
    if (!hold && !m_holdsForTurn)
        ReleaseHeldClock();
}

// Both with m_mutex held.
void CPlayEngine::HoldSharedClock()
{
    if (!m_holdClockAtEnd || ClockOwner())
        return;
    // Where the next file takes over: the end of the last frame shown.
    std::int64_t endMs = m_presentedMs == INT64_MIN ? m_currentMs.load() : m_presentedMs;
    if (!m_backward)
        endMs += std::int64_t(1000.0 / m_frameRate);
    m_heldClock = m_clock;
    m_heldClock->Hold(this, kMaxClockHoldUs, ClockTime(endMs));
}

// Turned backward on a running clock, it stands at the turn while the
// first pictures back are decoded (and, where they play briefly, the group
// before begins to be): play goes back from where it stood, none of them
// late (a group's members together). A file that has shown nothing
// yet (one taking over at a change) turns nowhere.
void CPlayEngine::HoldClockForTurn(bool decodes)
{
    std::lock_guard lock(m_mutex);
    if (!std::exchange(m_turnPending, false) || !decodes || m_presentedMs == INT64_MIN || m_heldClock ||
        m_clock->IsPaused())
        return;
    m_heldClock = m_clock;
    m_holdsForTurn = true;
    m_heldClock->Hold(this, kMaxTurnHoldUs, m_clock->NowMs());
}

void CPlayEngine::ReleaseTurnHold()
{
    std::lock_guard lock(m_mutex);
    if (m_holdsForTurn)
        ReleaseHeldClock();
}

void CPlayEngine::ReleaseHeldClock()
{
    m_holdsForTurn = false;
    if (m_heldClock)
        m_heldClock->ReleaseHold(this);
    m_heldClock.reset();
}

bool CPlayEngine::ClockOwner() const
{
    return m_clock == m_ownClock;
}

std::int64_t CPlayEngine::ClockTime(std::int64_t fileMs) const
{
    return fileMs + m_clockOffsetMs;
}

void CPlayEngine::SetColor(int brightness, int contrast, int saturation, int hue)
{
    std::lock_guard lock(m_converterMutex);
    m_converter.SetColor(brightness, contrast, saturation, hue);
    ++m_colorChanges;
}

void CPlayEngine::EnableOverlays(bool enable)
{
    m_overlays = enable;
}

void CPlayEngine::SetStreamTap(std::shared_ptr<IStreamTap> tap)
{
    std::lock_guard lock(m_mutex);
    m_tap = std::move(tap);
}

void CPlayEngine::SetAudioSink(std::function<void(const AVFrame&)> sink)
{
    std::lock_guard lock(m_mutex);
    m_audioSink = std::move(sink);
}

bool CPlayEngine::CopyShownPicture(PlanarPicture& out) const
{
    std::lock_guard lock(m_pictureMutex);
    if (!m_hasShown)
        return false;
    out = *m_pictures.Shown();
    return true;
}

bool CPlayEngine::CopyWholeShownPicture(PlanarPicture& out)
{
    if (!CopyShownPicture(out))
        return false;
    if (!out.reduced)
        return true;
    {
        std::lock_guard lock(m_pictureMutex);
        m_wholeWanted = true;
    }
    {
        std::unique_lock lock(m_mutex);
        Queue(lock, Command{Command::ShowWhole});
    }
    std::lock_guard lock(m_pictureMutex);
    m_wholeWanted = false;
    const std::shared_ptr<PlanarPicture> whole = std::exchange(m_wholeShown, nullptr);
    if (!whole || whole->reduced)
        return false;
    out = *whole;
    return true;
}

const AVCodecParameters* CPlayEngine::VideoParameters() const
{
    return m_source ? m_source->VideoParameters() : nullptr;
}

const AVCodecParameters* CPlayEngine::AudioParameters() const
{
    return m_source ? m_source->AudioParameters() : nullptr;
}

// ---- play thread ----

void CPlayEngine::ReportFileTimes(unsigned start, unsigned end)
{
    m_reportTimes = true;
    m_reportStart = start;
    m_reportEnd = end;
}

void CPlayEngine::Run()
{
    SF_SOFT_BASE::SFEnsureSignalStack();
    if (m_reportTimes && m_listener)
        m_listener->OnFileTimeDone(m_owner, m_reportStart, m_reportEnd);
    for (;;) {
        std::optional<Command> command;
        if (!WaitForWork(command))
            return;
        if (command) {
            Execute(*command);
            m_reverseBytes = m_reverse.HeldBytes();
            continue;
        }
        if (TakeReverseEnd()) {
            ReleaseReverse();
            // Forward starts where reverse stood, however late its first frame.
            m_pacer.Forget();
            continue;
        }
        m_steppingBack = false;
        if (m_backward) {
            PlayBackwardOnce();
            m_reverseBytes = m_reverse.HeldBytes();
        } else {
            ReleaseReverse();
            PlayForwardOnce();
        }
    }
}

bool CPlayEngine::TakeReverseEnd()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_reverseEnded, false);
}

// The pictures are large blocks that malloc keeps for reuse once freed:
// they are handed back to the system.
void CPlayEngine::ReleaseReverse()
{
    m_turn.Set(false);
    m_takingOver.Set(false);
    m_readiedStanding = false;
    m_prerollWaitFromUs = INT64_MIN;
    if (!m_reverse.Holding())
        return;
    m_reverse.Release();
    m_reverseBytes = 0;
    SF_SOFT_BASE::CSFSystem::GiveBackFreedMemory();
}

bool CPlayEngine::WaitForWork(std::optional<Command>& command)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_quit)
            return false;
        if (!m_commands.empty()) {
            command = m_commands.front();
            m_commands.pop_front();
            return true;
        }
        if ((m_playRequested && !m_paused && !m_ended) || m_reverseEnded)
            return true;
        if (SettleDue()) {
            m_settlePending = false;
            command = Command{Command::SettleAt, PausedMomentMs(), true};
            return true;
        }
        // Standing still, the shown picture is the whole frame.
        if (m_shownReduced && m_paused) {
            command = Command{Command::ShowWhole};
            return true;
        }
        m_wake.wait_for(lock, std::chrono::milliseconds(100));
    }
}

void CPlayEngine::Execute(const Command& command)
{
    m_replay.Stop();
    m_reverse.SetKeysOnly(false);
    m_reverse.SetMayReduce(false);
    m_reverse.SetKeepEvery(1);
    m_caughtUp = false;
    if (command.kind == Command::ShowWhole) {
        ShowWholePicture();
        FinishCommand(command);
        return;
    }
    if (command.kind == Command::SettleAt) {
        // Leaves the clock at the paused moment and completes no caller's wait.
        SettleAt(command.timeMs);
        return;
    }
    switch (command.kind) {
    case Command::SeekTo:
        DoSeek(command.timeMs, command.exact);
        break;
    case Command::StepForward:
        m_stepper.StepForward();
        break;
    case Command::StepBackward:
        m_stepper.StepBackward();
        break;
    case Command::SettleAt:
    case Command::ShowWhole:
        break;
    }
    FinishCommand(command);
    if (command.kind == Command::StepBackward)
        m_steppingBack = true;
    // Stepping back, a seek lands where the next steps back go on. Steps
    // back queued meanwhile (a held key) are served while the group ahead is
    // decoded.
    const bool stepsBackNext =
        command.kind == Command::StepBackward || (command.kind == Command::SeekTo && m_steppingBack);
    if (stepsBackNext && !OtherRequestWaits())
        m_stepper.PrepareStepsBack();
}

bool CPlayEngine::RequestQueued() const
{
    std::lock_guard lock(m_mutex);
    return m_quit || !m_commands.empty();
}

bool CPlayEngine::OtherRequestWaits() const
{
    std::lock_guard lock(m_mutex);
    return m_quit || !m_paused || (!m_commands.empty() && m_commands.front().kind != Command::StepBackward);
}

void CPlayEngine::FinishCommand(const Command& command)
{
    m_reverseBytes = m_reverse.HeldBytes();
    std::lock_guard lock(m_mutex);
    if (ClockOwner())
        m_clock->Set(m_currentMs);
    m_commandsDone = std::max(m_commandsDone, command.number);
    m_done.notify_all();
}

void CPlayEngine::PlayForwardOnce()
{
    AVFramePtr frame = NextFrame();
    if (!frame) {
        ReachedEndPlaying(false);
        return;
    }
    const std::int64_t timeMs = FrameTimeMs(*frame);
    const bool waits = !DueNow(timeMs);
    if (waits) {
        PrepareFrame(*frame);
        if (ClockStands())
            DecodeAheadWhileStanding();
    }
    bool dueAtOnce = false;
    if (!WaitUntilDue(timeMs, &dueAtOnce)) {
        m_held = std::move(frame);
        return;
    }
    if (CatchUpWithGroup(timeMs) || ShouldDropLate(timeMs, frame->key_frame != 0))
        return;
    PresentFrame(*frame);
    if (m_replay.Shown(dueAtOnce && !waits))
        TakeThreadsNow();
}

void CPlayEngine::PlayBackwardOnce()
{
    m_replay.Stop();
    m_reverse.SetMayReduce(true);
    m_reverse.SetKeepEvery(std::max(1, int(Speed())));
    if (PutsOffPreroll())
        return;
    // Turned fast, the first picture back is the key frame before: whole
    // groups wait until their pace is known.
    if (m_reverse.BlocksDecoded() == 0 && !ClockStands())
        m_reverse.SetKeysOnly(KeyFramesComeOften(Speed()));
    NoteTurn();
    NoteTakeOver();
    if (!m_caughtUp && !std::exchange(m_aheadGaveWay, false) && !ClockStands() && m_reverse.AheadWanted(AheadLeadMs())) {
        DecodeAheadWhilePlaying();
        return;
    }
    const std::int64_t startUs = ClockWallUs();
    const std::uint64_t blocks = m_reverse.BlocksDecoded();
    HoldClockForTurn(m_reverse.DecodesForPreviousPicture());
    const PlanarPicture* picture = m_reverse.PreviousPicture();
    if (m_reverse.BlocksDecoded() != blocks && !m_reverse.KeysOnly())
        TimeBlockDecoding(startUs, true);
    if (KeepsTurnHoldForAhead(picture))
        return;
    ReleaseTurnHold();
    if (!picture) {
        ReachedEndPlaying(true);
        return;
    }
    if (!WaitUntilDue(picture->timeMs))
        return;
    // The picture of the moment a catch-up went to is shown however late:
    // decoding its group took the time it is late by.
    const bool caughtUp = std::exchange(m_caughtUp, false);
    if (!caughtUp && CatchUpWithGroup(picture->timeMs))
        return;
    // Falling behind at high speed, or decoding whole groups slower than
    // they play: show key frames only, decoding no more.
    m_reverse.SetKeysOnly(IsLate(picture->timeMs) || GroupsOutpaced());
    if (!caughtUp && PassesOverLate(*picture)) {
        m_currentMs = picture->timeMs;
        return;
    }
    ShowPicture(*picture);
}

// Backward a late picture, decoded already, is passed over: faster than
// normal speed up to the next key frame, in a group at any speed up to the
// group's moment. One is shown at least every half second.
bool CPlayEngine::PassesOverLate(const PlanarPicture& picture) const
{
    if (!m_pacer.ShownRecently())
        return false;
    if (m_reverse.KeysOnly())
        return !picture.key;
    return CFramePacer::IsLate(LateUs(picture.timeMs), Speed(), InGroup());
}

// Key frames alone, where they still come often at this speed.
bool CPlayEngine::GroupsOutpaced() const
{
    if (m_groupsKeepPaceBelow <= 0)
        return false;
    const double speed = Speed();
    return speed >= m_groupsKeepPaceBelow && KeyFramesComeOften(speed) &&
           ClockWallUs() - m_paceFoundUs < kGroupPaceHoldsUs;
}

// Faster than normal speed, key frames alone stand briefly at this speed.
bool CPlayEngine::KeyFramesComeOften(double speed) const
{
    const std::int64_t spanMs = GroupSpanMs();
    return speed > 1.0 && spanMs > 0 && double(spanMs) / speed <= kKeysOnlyHoldMs;
}

// The last group decoded whole, else the last two key frames fed in a row,
// else the recording's key frames on average; 0 when none is known.
std::int64_t CPlayEngine::GroupSpanMs() const
{
    if (m_groupSpanMs > 0)
        return m_groupSpanMs;
    if (m_keyIntervalMs > 0)
        return m_keyIntervalMs;
    const auto index = m_keyIndex ? m_keyIndex->Get() : nullptr;
    if (!index || index->entries.size() < 2)
        return 0;
    return (index->entries.back().timeMs - index->entries.front().timeMs) / std::int64_t(index->entries.size() - 1);
}

void CPlayEngine::NoteGroupPace(double keepsPaceBelow, std::int64_t nowUs)
{
    m_groupsKeepPaceBelow = keepsPaceBelow;
    m_paceFoundUs = nowUs;
}

// A file readied backward (on a standing clock) decodes its last group once
// the modules that turned have their first groups, or after a while.
bool CPlayEngine::PutsOffPreroll()
{
    if (m_reverse.BlocksDecoded() != 0 || !ClockStands() || !CReverseTurns::Any())
        return false;
    const std::int64_t nowUs = ClockWallUs();
    if (m_prerollWaitFromUs == INT64_MIN)
        m_prerollWaitFromUs = nowUs;
    if (nowUs - m_prerollWaitFromUs >= kPrerollWaitUs)
        return false;
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(20), [&] { return m_quit || !m_commands.empty(); });
    return true;
}

// Reverse play begun on a running clock turns while it decodes its first
// blocks, unless its file's start comes soon (the file readied before it is
// wanted then); begun on a key frame alone, while it decodes that.
void CPlayEngine::NoteTurn()
{
    const std::uint64_t decoded = m_reverse.BlocksDecoded();
    const bool begins = m_turn.Turning() || (decoded == 0 && !ClockStands());
    m_turn.Set(begins && TurnsStill(decoded));
}

bool CPlayEngine::TurnsStill(std::uint64_t decoded) const
{
    return (decoded == 0 && m_reverse.KeysOnly()) || (decoded < kTurnBlocks && LongToPlayBack(2 * kPrerollWaitUs));
}

bool CPlayEngine::LongToPlayBack(std::int64_t wallUs) const
{
    return double(m_currentMs) * 1000.0 / Speed() > double(wallUs);
}

// A file readied backward that took over a window's play counts as turning
// until it has decoded a group while playing: the files readied as the
// windows change file wait for it. Not when its start comes soon.
void CPlayEngine::NoteTakeOver()
{
    const std::uint64_t decoded = m_reverse.BlocksDecoded();
    if (ClockStands()) {
        m_readiedStanding = true;
        return;
    }
    if (std::exchange(m_readiedStanding, false)) {
        m_takingOver.Set(!m_reverse.KeysOnly() && LongToPlayBack(kPrerollWaitUs));
        m_takeOverBlocks = decoded;
    } else if (m_takingOver.Turning() && (decoded > m_takeOverBlocks || m_reverse.KeysOnly())) {
        m_takingOver.Set(false);
    }
}

// A file readied to take over stands on a paused clock: it holds one group.
bool CPlayEngine::ClockStands() const
{
    std::lock_guard lock(m_mutex);
    return m_clock->IsPaused();
}

// Turned just after a key frame, the pictures decoded at the turn play for
// less time than decoding the group before takes: the clock stands on while
// that decoding begins (it shows them once the clock goes on), so play back
// does not stop again a few pictures later.
bool CPlayEngine::KeepsTurnHoldForAhead(const PlanarPicture* picture)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_holdsForTurn || !picture)
            return false;
    }
    return !m_caughtUp && !m_reverse.KeysOnly() && m_reverse.AheadWanted(AheadLeadMs());
}

// With m_mutex held: the decoding ahead, at its pace so far, ends before the
// shown block's pictures before the shown one are played.
bool CPlayEngine::AheadOnCourse() const
{
    const double left = m_reverse.AheadShareLeft();
    if (left >= 1.0)
        return false;
    const double spentUs = double(m_clock->WallUs() - m_aheadStartUs);
    const double playUs = double(m_reverse.ShownBlockSpanBeforeMs(m_currentMs)) * 1000.0 / m_clock->Speed();
    return spentUs * left / (1.0 - left) * kAheadMargin <= playUs;
}

void CPlayEngine::DecodeAheadWhilePlaying()
{
    const std::int64_t startUs = ClockWallUs();
    m_aheadStartUs = startUs;
    m_playingAhead = true;
    const bool decoded = m_reverse.DecodeBlockAhead(true);
    m_playingAhead = false;
    if (decoded || m_aheadGaveWay)
        TimeBlockDecoding(startUs, decoded);
    if (m_aheadGaveWay)
        m_reverse.SetKeysOnly(GroupsOutpaced());
    ReleaseTurnHold();
}

std::int64_t CPlayEngine::AheadLeadMs() const
{
    if (m_aheadLeadMs > 0)
        return m_aheadLeadMs;
    return kFirstAheadLeadMs + m_aheadStaggerSteps * std::int64_t(1000.0 / m_frameRate);
}

std::int64_t CPlayEngine::ClockWallUs() const
{
    std::lock_guard lock(m_mutex);
    return m_clock->WallUs();
}

// A block decoded playing back times when the next decoding ahead starts
// (in wall time at the play speed) and up to which speed whole groups keep
// pace; a decoding ahead that gave way to late play sets that speed. One
// decoded on a standing clock (a file readied to take over) shares the
// cores with fewer and times nothing.
void CPlayEngine::TimeBlockDecoding(std::int64_t startUs, bool whole)
{
    const std::int64_t groupMs = GroupSpanMs();
    const std::int64_t decodedMs = m_reverse.DecodedSpanMs();
    const bool part = m_reverse.EndsAtShown();
    if (whole && !part)
        m_groupSpanMs = decodedMs;
    if (ClockStands())
        return;
    const std::int64_t nowUs = ClockWallUs();
    const double wallMs = double(nowUs - startUs) / 1000.0;
    if (wallMs <= 0)
        return;
    // A group's first part alone: decoding it whole takes longer.
    const double scale = part && decodedMs > 0 && groupMs > decodedMs ? double(groupMs) / double(decodedMs) : 1.0;
    if (whole)
        m_aheadLeadMs = 2 * std::int64_t(wallMs * scale * Speed()) + std::int64_t(1000.0 / m_frameRate);
    NoteGroupPace(whole ? double(decodedMs) / wallMs : Speed(), nowUs);
}

// Between the frames decoded ahead: the shown block's next picture once it
// is due. A request, a pause or a turn ends the decoding.
bool CPlayEngine::ShowDueWhileDecoding()
{
    const PlanarPicture* next = nullptr;
    {
        std::lock_guard lock(m_mutex);
        if (m_quit || m_paused || !m_backward || !m_commands.empty())
            return true;
        // Held at the turn, the picture there stands until the clock goes on
        // (at the latest when the hold runs out).
        if (m_holdsForTurn) {
            if (!AheadOnCourse() && m_clock->IsHeld())
                return false;
            ReleaseHeldClock();
        }
        next = m_reverse.ShownBlockPictureBefore(m_currentMs);
        if (!next)
            return GivesWayToKeyFrames();
        const std::int64_t lateUs = -m_clock->UsUntil(ClockTime(next->timeMs));
        if (lateUs < 0)
            return false;
        // Late at normal speed or slower, the picture of the clock's moment is
        // shown, the ones between dropped, and the decoding goes on; faster,
        // play goes on without it (key frames alone when it stays late).
        if (CFramePacer::IsLate(lateUs, m_clock->Speed(), !ClockOwner())) {
            if (m_clock->Speed() > 1.0)
                return m_aheadGaveWay = true;
            next = m_reverse.ShownBlockPictureFrom(m_clock->NowMs() - m_clockOffsetMs);
        }
    }
    if (next)
        ShowPicture(*next);
    return false;
}

// With m_mutex held, the shown block used up: where key frames alone stand
// briefly, play goes on with them once the shown picture is late and the
// group ahead has its first frame (its key frame, then not decoded again).
bool CPlayEngine::GivesWayToKeyFrames()
{
    const double speed = m_clock->Speed();
    const std::int64_t lateUs = -m_clock->UsUntil(ClockTime(m_currentMs));
    if (!KeyFramesComeOften(speed) || !m_reverse.AheadDecodingBegun() ||
        !CFramePacer::IsLate(lateUs, speed, !ClockOwner()))
        return false;
    return m_aheadGaveWay = true;
}

void CPlayEngine::ReachedEnd()
{
    ReachedEndPlaying(m_backward);
}

// Play turned since the end was found: it lies behind the new direction.
void CPlayEngine::ReachedEndPlaying(bool backward)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_ended || m_backward != backward)
            return;
        m_ended = true;
        m_endedBackward = backward;
    }
    if (m_listener && !m_quit)
        m_listener->OnFileEnd(m_owner);
    // A next file that took this one's place in the group (it left the
    // group) needs no hold: a late member would pull the clock back.
    std::lock_guard lock(m_mutex);
    if (m_ended)
        HoldSharedClock();
}

// ---- reading and decoding ----

// Set by the timeline as the frame left the decoder.
std::int64_t CPlayEngine::FrameTimeMs(const AVFrame& frame) const
{
    return frame.best_effort_timestamp != AV_NOPTS_VALUE ? frame.best_effort_timestamp : m_currentMs.load();
}

std::int64_t CPlayEngine::FrameDurationMs(const AVFrame& frame) const
{
    if (frame.pkt_duration > 0 && frame.pkt_duration < 10'000)
        return frame.pkt_duration;
    return std::max<std::int64_t>(1, std::int64_t(1000.0 / m_frameRate));
}

AVFramePtr CPlayEngine::NextFrame()
{
    // A faster speed set meanwhile may bring the file's start near.
    if (m_turn.Turning() && !TurnsStill(m_reverse.BlocksDecoded()))
        m_turn.Set(false);
    // Made fast while the turn's first group is decoded: it ends on its key frame.
    if (m_reverse.ReadingBlock() && m_reverse.BlocksDecoded() == 0 && !m_reverse.KeysOnly() && !ClockStands() &&
        KeyFramesComeOften(Speed()))
        m_reverse.SetKeysOnly(true);
    if (m_reverse.NeedsReposition())
        RepositionAfterReverse();
    if (m_held)
        return std::move(m_held);
    for (;;) {
        while (!m_decoded.empty() && !AwaitingTime()) {
            AVFramePtr frame = std::move(m_decoded.front());
            m_decoded.pop_front();
            const std::int64_t timeMs = FrameTimeMs(*frame);
            const std::int64_t durationMs = FrameDurationMs(*frame);
            if (AVFramePtr shown = m_seekTarget.Pass(std::move(frame), timeMs, durationMs, m_held))
                return shown;
        }
        // An exact seek past the last frame's time shows the last frame.
        if (m_quit || !FeedDecoder())
            return m_seekTarget.Finish();
    }
}

bool CPlayEngine::FeedDecoder()
{
    MediaPacket packet;
    if (m_sourceEnded || !m_source->ReadPacket(packet)) {
        if (!m_sourceEnded)
            m_video.SendEnd();
        m_sourceEnded = true;
    } else {
        HandlePacket(packet);
    }
    const bool produced = TakeDecodedFrames();
    return produced || !m_sourceEnded;
}

// Queues what the decoder has ready, each frame with its time on the timeline.
bool CPlayEngine::TakeDecodedFrames()
{
    bool taken = false;
    for (AVFramePtr frame = MakeFrame(); m_video.Receive(frame.get()); frame = MakeFrame()) {
        const std::int64_t stamp =
            frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
        const auto own = stamp != AV_NOPTS_VALUE ? std::optional(stamp) : std::nullopt;
        const std::size_t guessed = m_timeline.Unanchored();
        frame->best_effort_timestamp = m_timeline.Place(own, FrameDurationMs(*frame));
        frame->opaque = reinterpret_cast<void*>(std::uintptr_t(++m_framesDecoded));
        m_decoded.push_back(std::move(frame));
        if (guessed > 0 && m_timeline.Unanchored() == 0)
            TimeGuessedFrames(guessed);
        taken = true;
    }
    return taken;
}

// The frames before the last one queued, whose times were guessed, follow
// from its time backward, one frame length each.
void CPlayEngine::TimeGuessedFrames(std::size_t count)
{
    std::int64_t timeMs = m_decoded.back()->best_effort_timestamp;
    const std::size_t queued = m_decoded.size() - 1;
    for (std::size_t i = queued; i > 0 && queued - i < count; --i) {
        AVFrame& frame = *m_decoded[i - 1];
        timeMs -= FrameDurationMs(frame);
        frame.best_effort_timestamp = timeMs;
    }
}

// After a restart, frames wait (a bounded number) for one with a sane time.
bool CPlayEngine::AwaitingTime() const
{
    const std::size_t guessed = m_timeline.Unanchored();
    return guessed > 0 && guessed <= kMaxFramesAwaitingTime && !m_sourceEnded;
}

void CPlayEngine::HandlePacket(MediaPacket& packet)
{
    std::shared_ptr<IStreamTap> tap;
    std::function<void(const AVFrame&)> audioSink;
    {
        std::lock_guard lock(m_mutex);
        tap = m_tap;
        audioSink = m_audioSink;
    }
    const bool readingBlock = m_reverse.ReadingBlock();
    if (tap && !readingBlock)
        tap->OnPacket(packet);
    if (m_listener && !readingBlock && packet.raw && packet.rawSize > 0) {
        PM_FRAME_INFO info;
        const PM_FRAME_KIND kind = packet.kind == PacketKind::Video ? PM_FRAME_VIDEO_DATA
                                   : packet.kind == PacketKind::Audio ? PM_FRAME_AUDIO_DATA
                                   : packet.kind == PacketKind::Overlay ? PM_FRAME_OVERLAY_DATA
                                                                        : PM_FRAME_OTHER_DATA;
        FillFrameInfo(info, packet.timeMs, packet.key, packet.rawSize, kind);
        m_listener->OnStreamData(m_owner, const_cast<unsigned char*>(packet.raw), packet.rawSize,
                                 &info, 0);
        if (packet.kind == PacketKind::Overlay && packet.packet && m_overlays)
            m_listener->OnOverlayData(m_owner, packet.packet->data, packet.overlayKind,
                                      packet.packet->size, 0, 0);
    }
    if (packet.kind == PacketKind::Audio && audioSink && !readingBlock)
        DecodeAudio(packet, audioSink);
    if (packet.kind != PacketKind::Video || !packet.packet)
        return;
    if (m_catchUp && !packet.key)
        return;
    m_catchUp = false;
    FeedVideo(packet);
}

void CPlayEngine::FeedVideo(MediaPacket& packet)
{
    if (packet.key) {
        if (m_lastKeyFedMs != INT64_MIN && packet.timeMs > m_lastKeyFedMs)
            m_keyIntervalMs = packet.timeMs - m_lastKeyFedMs;
        m_lastKeyFedMs = packet.timeMs;
        if (m_keyFramesFed++ > 0) {
            m_replay.Stop();
            AdaptDecoderThreads();
        } else if (DecoderThreads() != m_video.Threads()) {
            m_replay.Start(m_timeline);
        }
    }
    m_replay.Keep(*packet.packet, DecoderTimeMs(packet), packet.hasPts);
    m_video.Send(packet.packet.get(), DecoderTimeMs(packet), packet.hasPts);
}

// Played faster than one thread decodes in its first group: the stream
// takes its threads now, the group decoded again up to the shown frame.
void CPlayEngine::TakeThreadsNow()
{
    const int wanted = DecoderThreads();
    const int threads = m_video.Threads();
    if (m_sourceEnded || wanted == threads) {
        m_replay.Stop();
        return;
    }
    if (!m_video.Open(m_source->VideoParameters(), wanted))
        m_video.Open(m_source->VideoParameters(), threads);
    m_decoded.clear();
    m_held.reset();
    m_seekTarget.Clear();
    m_timeline = m_replay.Timeline();
    m_replay.Resend(m_video, [this] { TakeDecodedFrames(); });
    m_replay.Stop();
    m_seekTarget.DropThrough(m_currentMs);
}

// At a key frame nothing decoded later needs the decoder's state: the
// decoder is drained and opened again when the streams playing call for
// another thread count.
void CPlayEngine::AdaptDecoderThreads()
{
    const int wanted = DecoderThreads();
    if (wanted == m_video.Threads() || !m_video.IsOpen())
        return;
    m_video.SendEnd();
    TakeDecodedFrames();
    m_video.Open(m_source->VideoParameters(), wanted);
}

int CPlayEngine::DecoderThreads() const
{
    const AVCodecParameters* params = m_source->VideoParameters();
    return params ? CDecoderThreads::ForNewDecoder(params->width, params->height) : 1;
}

void CPlayEngine::DecodeAudio(MediaPacket& packet,
                              const std::function<void(const AVFrame&)>& sink)
{
    // Sound only at normal speed, forward, in step with the pictures.
    if (!packet.packet || m_backward || m_catchUp || std::abs(Speed() - 1.0) > 1e-6)
        return;
    if (!m_audio.IsOpen() && (m_audioFailed || !m_audio.Open(m_source->AudioParameters(), 1))) {
        m_audioFailed = true;
        return;
    }
    if (!m_audio.Send(packet.packet.get(), DecoderTimeMs(packet), packet.hasPts))
        return;
    AVFramePtr frame = MakeFrame();
    while (m_audio.Receive(frame.get()))
        sink(*frame);
}

// ---- pacing and hand-over ----

bool CPlayEngine::WaitUntilDue(std::int64_t timeMs, bool* dueAtOnce)
{
    std::unique_lock lock(m_mutex);
    for (bool first = true;; first = false) {
        if (m_quit || !m_commands.empty() || m_paused || !m_playRequested)
            return false;
        const std::int64_t waitUs =
            CFramePacer::UsUntilDue(*m_clock, ClockOwner(), ClockTime(timeMs));
        if (waitUs <= 0) {
            if (dueAtOnce)
                *dueAtOnce = first;
            return true;
        }
        m_wake.wait_for(lock, CFramePacer::WaitSlice(waitUs));
    }
}

std::int64_t CPlayEngine::LateUs(std::int64_t timeMs) const
{
    std::lock_guard lock(m_mutex);
    return -m_clock->UsUntil(ClockTime(timeMs));
}

bool CPlayEngine::InGroup() const
{
    std::lock_guard lock(m_mutex);
    return !ClockOwner();
}

bool CPlayEngine::IsLate(std::int64_t timeMs) const
{
    return CFramePacer::IsLate(LateUs(timeMs), Speed());
}

// A group member far behind the group (a slow decoder, a long read) never
// makes the others wait: forward it seeks to the group's moment when a key
// frame lies on the way, else decodes on, dropping the late frames; backward
// the group before that moment is decoded next.
bool CPlayEngine::CatchUpWithGroup(std::int64_t timeMs)
{
    std::int64_t momentMs;
    {
        std::lock_guard lock(m_mutex);
        if (ClockOwner() || !CFramePacer::IsFarBehind(-m_clock->UsUntil(ClockTime(timeMs))))
            return false;
        momentMs = m_clock->NowMs() - m_clockOffsetMs;
    }
    const std::int64_t targetMs = std::clamp<std::int64_t>(momentMs, 0, m_durationMs);
    if (!m_backward) {
        if (!KeyFrameOnTheWay(targetMs))
            return false;
        DoSeek(targetMs, true);
        return true;
    }
    // Backward the moment's frame is the first at or after it, shown next
    // (from the kept block when it holds that moment).
    m_currentMs = targetMs + std::int64_t(1000.0 / m_frameRate);
    m_caughtUp = true;
    return true;
}

// The moment lies at or past the key frame after the last one fed (as far
// apart as the two before): a seek there spares decoding. Within the group
// being decoded a seek would decode its start again.
bool CPlayEngine::KeyFrameOnTheWay(std::int64_t momentMs) const
{
    return m_keyIntervalMs > 0 && m_lastKeyFedMs != INT64_MIN && momentMs >= m_lastKeyFedMs + m_keyIntervalMs;
}

// Forward, a group member drops late frames at any speed to keep the
// group's moment. Above 1X the decoding skips to the key frames, which are
// shown; at 1X and below it goes on, so the moment's frame comes next.
bool CPlayEngine::ShouldDropLate(std::int64_t timeMs, bool key)
{
    const std::int64_t lateUs = LateUs(timeMs);
    const double speed = Speed();
    const bool skipsToKey = CFramePacer::SkipsToKeyFrame(speed);
    if ((key && skipsToKey) || !CFramePacer::IsLate(lateUs, speed, InGroup()) || !m_pacer.ShownRecently())
        return false;
    // Skip non-key packets until the next key frame, unless one was already
    // fed (this frame then only left the decoder late).
    if (skipsToKey && timeMs >= m_lastKeyFedMs)
        m_catchUp = true;
    m_currentMs = timeMs;
    return true;
}

void CPlayEngine::FillFrameInfo(PM_FRAME_INFO& info, std::int64_t timeMs, bool key, int size,
                                PM_FRAME_KIND kind) const
{
    info.nWidth = m_width;
    info.nHeight = m_height;
    info.nFrameRate = int(m_frameRate + 0.5);
    info.nType = kind;
    info.nKeyFrame = key ? 1 : 0;
    info.nStampMs = std::int32_t(timeMs);
    info.nDataSize = size;
    const std::int64_t absMs = m_startAbsMs + timeMs;
    SF_SOFT_BASE::CSFDateTime date;
    date.FromTime(std::uint32_t(std::max<std::int64_t>(0, absMs / 1000)));
    info.nYear = date.year;
    info.nMonth = date.month;
    info.nDay = date.day;
    info.nHour = date.hour;
    info.nMinute = date.minute;
    info.nSecond = date.second;
    info.nMillisecond = std::int32_t(absMs % 1000);
}

bool CPlayEngine::ConvertFrame(const AVFrame& frame, int width, int height, PlanarPicture& out)
{
    std::lock_guard lock(m_converterMutex);
    return m_converter.ConvertScaled(frame, RenderType() == PM_RENDER_QT, width, height, out);
}

// The play thread alone makes pictures, each in one that no receiver holds,
// under m_pictureMutex, for copies taken from other threads.
void CPlayEngine::PresentFrame(const AVFrame& frame)
{
    {
        std::lock_guard lock(m_pictureMutex);
        const bool prepared = Prepared(frame);
        m_preparedFrame = 0;
        if (!prepared && !MakePicture(frame, m_pictures.Spare())) {
            m_currentMs = FrameTimeMs(frame);
            return;
        }
        m_pictures.ShowSpare();
        m_hasShown = true;
    }
    HandOverShown();
}

bool CPlayEngine::DueNow(std::int64_t timeMs) const
{
    std::lock_guard lock(m_mutex);
    return m_clock->UsUntil(ClockTime(timeMs)) <= 0;
}

void CPlayEngine::PrepareFrame(const AVFrame& frame)
{
    if (Prepared(frame))
        return;
    std::lock_guard lock(m_pictureMutex);
    m_preparedFrame = 0;
    const unsigned colors = m_colorChanges.load();
    if (!MakePicture(frame, m_pictures.Spare(true)))
        return;
    m_preparedFrame = reinterpret_cast<std::uintptr_t>(frame.opaque);
    m_preparedColors = colors;
}

// Standing before play (a file readied for its window), the frames after the
// first are decoded too: play then starts without the decoder's start-up.
void CPlayEngine::DecodeAheadWhileStanding()
{
    while (m_decoded.size() < kFramesDecodedStanding && !m_sourceEnded && !RequestQueued() && FeedDecoder()) {
    }
}

bool CPlayEngine::Prepared(const AVFrame& frame) const
{
    return m_preparedFrame != 0 && m_preparedFrame == reinterpret_cast<std::uintptr_t>(frame.opaque) &&
           m_preparedColors == m_colorChanges.load();
}

bool CPlayEngine::MakePicture(const AVFrame& frame, PlanarPicture& out)
{
    if (!ConvertFrame(frame, frame.width, frame.height, out))
        return false;
    out.timeMs = FrameTimeMs(frame);
    out.key = frame.key_frame != 0;
    return true;
}

void CPlayEngine::ShowPicture(const PlanarPicture& picture)
{
    {
        std::lock_guard lock(m_pictureMutex);
        m_preparedFrame = 0;
        m_pictures.Spare() = picture;
        m_pictures.ShowSpare();
        m_hasShown = true;
    }
    HandOverShown();
}

void CPlayEngine::HandOverShown()
{
    const std::shared_ptr<PlanarPicture>& shown = m_pictures.Shown();
    m_currentMs = shown->timeMs;
    m_presentedMs = shown->timeMs;
    m_shownReduced = shown->reduced;
    if (!shown->reduced) {
        m_width = shown->width;
        m_height = shown->height;
    }
    m_pacer.MarkShown();
    ++m_shownFrames;
    const int kind = RenderType();
    if (!m_listener || m_quit || (kind != PM_RENDER_DDRAW && kind != PM_RENDER_QT))
        return;
    PM_FRAME_INFO info;
    const int size = int(shown->bytes.size());
    FillFrameInfo(info, shown->timeMs, shown->key, size, PM_FRAME_VIDEO_SHOWN);
    info.nWidth = shown->width;
    info.nHeight = shown->height;
    m_listener->OnSharedFrameVisible(m_owner, kind, std::shared_ptr<const unsigned char>(shown, shown->bytes.data()),
                                     size, &info);
}

// ---- seeking and reverse play ----

bool CPlayEngine::Quitting() const
{
    return m_quit;
}

std::int64_t CPlayEngine::ShownMs() const
{
    return m_currentMs;
}

void CPlayEngine::ResetDecoding()
{
    m_replay.Stop();
    m_video.Flush();
    m_audio.Flush();
    m_decoded.clear();
    m_held.reset();
    m_sourceEnded = false;
    m_catchUp = false;
    m_lastKeyFedMs = INT64_MIN;
    m_seekTarget.Clear();
}

void CPlayEngine::RestartDecodingAt(std::int64_t timeMs)
{
    ResetDecoding();
    m_timeline.Restart(timeMs);
    m_source->SeekKeyFrame(timeMs);
}

void CPlayEngine::DoSeek(std::int64_t timeMs, bool exact)
{
    m_reverse.Clear();
    RestartDecodingAt(timeMs);
    if (exact)
        m_seekTarget.DropEndingBy(timeMs);
    {
        std::lock_guard lock(m_mutex);
        m_ended = false;
    }
    if (AVFramePtr frame = NextFrame())
        PresentFrame(*frame);
    else
        ReachedEnd();
}

void CPlayEngine::RepositionAfterReverse()
{
    m_reverse.Repositioned();
    RestartDecodingAt(m_currentMs);
    m_seekTarget.DropThrough(m_currentMs);
}

bool CPlayEngine::AheadInterrupted()
{
    if (m_playingAhead)
        return ShowDueWhileDecoding();
    for (;;) {
        Command step;
        const PlanarPicture* previous = nullptr;
        {
            std::lock_guard lock(m_mutex);
            if (m_quit || !m_paused)
                return true;
            if (m_commands.empty())
                return false;
            if (m_commands.front().kind != Command::StepBackward)
                return true;
            previous = m_reverse.ShownBlockPictureBefore(m_currentMs);
            // A step into the group being decoded waits for it.
            if (!previous)
                return false;
            step = m_commands.front();
            m_commands.pop_front();
        }
        ShowPicture(*previous);
        FinishCommand(step);
    }
}

// ---- settling on the paused moment ----

// With m_mutex held, on the play thread. Only a player that has shown a frame
// settles: pausing before the first frame shows nothing new.
bool CPlayEngine::SettleDue() const
{
    return m_settlePending && m_paused && m_playRequested && !m_ended &&
           m_presentedMs != INT64_MIN;
}

// With m_mutex held: the clock's moment in file time, within the file.
std::int64_t CPlayEngine::PausedMomentMs() const
{
    const std::int64_t moment = std::max<std::int64_t>(0, m_clock->NowMs() - m_clockOffsetMs);
    return m_durationMs > 0 ? std::min(moment, m_durationMs) : moment;
}

bool CPlayEngine::SettleInterrupted() const
{
    std::lock_guard lock(m_mutex);
    return m_quit || !m_commands.empty() || !m_paused;
}

// The frame of a moment is the one play would show there: forward the last
// frame at or before it, backward the first at or after it.
void CPlayEngine::SettleAt(std::int64_t targetMs)
{
    const std::int64_t current = m_currentMs;
    const std::int64_t behindMs = m_backward ? current - targetMs : targetMs - current;
    // Frames dropped or skipped while catching up were never shown: the one
    // of the moment may be among them.
    const bool skipped = m_catchUp || current != m_presentedMs;
    if (skipped || behindMs < 0 || behindMs > kSettleByDecodingMs)
        SettleBySeek(targetMs);
    else if (m_backward)
        SettleBackward(targetMs);
    else
        SettleForward(targetMs);
}

// Cut short by a seek, a step or a resume, settling shows nothing: what
// comes next decides the frame.
void CPlayEngine::SettleForward(std::int64_t targetMs)
{
    AVFramePtr due;
    for (;;) {
        if (SettleInterrupted()) {
            if (due)
                m_held = std::move(due);
            return;
        }
        AVFramePtr frame = NextFrame();
        if (!frame)
            break;
        if (FrameTimeMs(*frame) > targetMs) {
            m_held = std::move(frame);
            break;
        }
        due = std::move(frame);
    }
    if (due)
        PresentFrame(*due);
}

void CPlayEngine::SettleBackward(std::int64_t targetMs)
{
    const std::int64_t shownMs = m_currentMs;
    PlanarPicture due;
    bool found = false;
    for (;;) {
        if (SettleInterrupted()) {
            m_currentMs = shownMs;
            return;
        }
        // Walks the kept block back without showing what it passes.
        const PlanarPicture* picture = m_reverse.PreviousPicture();
        if (!picture || picture->timeMs < targetMs)
            break;
        due = *picture;
        m_currentMs = picture->timeMs;
        found = true;
    }
    if (found)
        ShowPicture(due);
}

// Shows the shown frame again, decoded whole: reverse play may have kept it
// smaller. The blocks kept for reverse go with it.
void CPlayEngine::ShowWholePicture()
{
    m_shownReduced = false;
    // The picture on the screen (a catch-up may have moved on past it).
    const std::int64_t shownMs = m_presentedMs;
    m_reverse.Clear();
    RestartDecodingAt(shownMs);
    m_seekTarget.DropEndingBy(shownMs);
    AVFramePtr frame = NextFrame();
    if (frame && FrameTimeMs(*frame) < shownMs)
        frame = NextFrame();
    if (frame && FrameTimeMs(*frame) == shownMs)
        PresentFrame(*frame);
    std::lock_guard lock(m_pictureMutex);
    if (m_wholeWanted)
        m_wholeShown = m_pictures.Shown();
}

void CPlayEngine::SettleBySeek(std::int64_t targetMs)
{
    m_reverse.ForgetShownBlock();
    RestartDecodingAt(targetMs);
    m_seekTarget.DropEndingBy(targetMs);
    AVFramePtr frame = NextFrame();
    // Backward the moment's frame is the one after the frame that holds it.
    if (frame && m_backward && FrameTimeMs(*frame) < targetMs)
        if (AVFramePtr next = NextFrame())
            frame = std::move(next);
    if (frame)
        PresentFrame(*frame);
}

}  // namespace PLAY_MODULE
