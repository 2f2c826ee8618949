#include "TerminationWatcher.h"

#include <QApplication>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_watched = 0;

void OnTerminationSignal(int)
{
    // Before the watcher: nothing is open or changed yet to close or save.
    if (!g_watched)
        ::_exit(0);
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

void SetHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

void ClosePipe(int (&fds)[2])
{
    for (int& fd : fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

}  // namespace

void CTerminationWatcher::EndAtOnceUntilWatched()
{
    SetHandler(OnTerminationSignal);
}

CTerminationWatcher::CTerminationWatcher(int graceMs, std::function<void()> onLate, QObject* parent)
    : QObject(parent), m_graceMs(graceMs), m_onLate(std::move(onLate))
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    if (::pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        ClosePipe(g_pipe);
        return;
    }
    m_thread = std::thread([this] { Watch(); });
    g_watched = 1;
    SetHandler(OnTerminationSignal);
}

CTerminationWatcher::~CTerminationWatcher()
{
    SetHandler(SIG_DFL);
    if (m_thread.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &byte, 1);
        m_thread.join();
    }
    ClosePipe(m_stopPipe);
    ClosePipe(g_pipe);
}

void CTerminationWatcher::Watch()
{
    if (!WaitUnlessStopped(-1))
        return;
    QMetaObject::invokeMethod(this, &CTerminationWatcher::OnSignal, Qt::QueuedConnection);
    // Further signals change nothing; only a stop ends the wait early.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_graceMs + kLoopLeaveMs);
    for (auto now = std::chrono::steady_clock::now(); now < deadline; now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        if (!WaitUnlessStopped(int(left.count())))
            return;
    }
    if (m_onLate)
        m_onLate();
}

bool CTerminationWatcher::WaitUnlessStopped(int timeoutMs)
{
    pollfd fds[2] = {{g_pipe[0], POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
    int ready;
    do {
        ready = ::poll(fds, 2, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0 || fds[1].revents != 0)
        return false;
    char buffer[16];
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
    }
    return true;
}

void CTerminationWatcher::OnSignal()
{
    // Armed first: a close may run a loop of its own (a message box), which
    // the exit ends too.
    QTimer::singleShot(m_graceMs, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QApplication::closeAllWindows();
}
