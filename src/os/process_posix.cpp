#include "os/process.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>
#include <pthread.h>
#include <semaphore.h>
#include <unistd.h>

CTextBuffer GetExecutablePath()
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? CTextBuffer(path, int32_t(n)) : CTextBuffer();
}

CTextBuffer GetCurrentFolderPath()
{
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? CTextBuffer(path) : CTextBuffer();
}

bool SetCurrentFolder(const char* path)
{
    return chdir(path) == 0;
}

int32_t GetFullPath(const char* path, char* out, int32_t capacity)
{
    // GetFullPathNameA does not touch the disk: it joins and folds "." and "..".
    // realpath would fail for folders that do not exist yet, so fold by hand.
    CTextBuffer full;
    if (path[0] != '/') {
        full = GetCurrentFolderPath();
        if (full.IsEmpty())
            return 0;
        full.Append('/');
    }
    full.Append(path);
    CTextBuffer folded("/");
    const char* p = full.Data();
    while (*p) {
        while (*p == '/')
            ++p;
        const char* end = p;
        while (*end && *end != '/')
            ++end;
        int32_t n = int32_t(end - p);
        if (n == 0 || (n == 1 && p[0] == '.')) {
            // nothing
        } else if (n == 2 && p[0] == '.' && p[1] == '.') {
            int32_t cut = folded.Length() - 1;
            while (cut > 0 && folded.Data()[cut - 1] != '/')
                --cut;
            folded.Resize(cut > 0 ? cut : 1);
        } else {
            folded.Append(p, n);
            folded.Append('/');
        }
        p = end;
    }
    if (folded.Length() > 1)
        folded.Resize(folded.Length() - 1);
    if (folded.Length() >= capacity)
        return folded.Length() + 1;
    std::memcpy(out, folded.Data(), size_t(folded.Length()) + 1);
    return folded.Length();
}

// ---- Threads ------------------------------------------------------------------------

namespace {

struct ThreadStart {
    ThreadProc proc;
    void* argument;
    uint32_t result;
};

void* ThreadMain(void* raw)
{
    auto* start = static_cast<ThreadStart*>(raw);
    start->result = start->proc(start->argument);
    return nullptr;
}

struct PosixThread {
    pthread_t id;
    ThreadStart start;
};

} // namespace

CThread::~CThread()
{
    if (m_handle) {
        auto* thread = static_cast<PosixThread*>(m_handle);
        pthread_detach(thread->id);
        // The start block stays with the detached thread; it is tiny and a thread is
        // never abandoned during a normal launch.
    }
}

bool CThread::Start(ThreadProc proc, void* argument, bool)
{
    if (m_handle)
        return false;
    auto* thread = new (std::nothrow) PosixThread{{}, {proc, argument, 0}};
    if (!thread)
        return false;
    if (pthread_create(&thread->id, nullptr, ThreadMain, &thread->start) != 0) {
        delete thread;
        return false;
    }
    m_handle = thread;
    return true;
}

uint32_t CThread::Join()
{
    auto* thread = static_cast<PosixThread*>(m_handle);
    if (!thread)
        return 0;
    pthread_join(thread->id, nullptr);
    uint32_t result = thread->start.result;
    delete thread;
    m_handle = nullptr;
    return result;
}

// ---- Termination signals ------------------------------------------------------------
//
// JNI must not be called from a signal handler, and sigwait cannot be used because the
// JVM's threads leave these signals unblocked. So the handler only records the signal
// and posts a semaphore; a waiting thread does the rest.

namespace {

sem_t s_signalPosted;
volatile sig_atomic_t s_pendingSignal = 0;
SignalProc s_onSignal = nullptr;
struct sigaction s_previous[2];

int SlotOf(int signal) { return signal == SIGINT ? 0 : 1; }

void PostSignal(int signal)
{
    int saved = errno;
    s_pendingSignal = signal;
    sem_post(&s_signalPosted);
    errno = saved;
}

void* WaitForSignals(void*)
{
    for (;;) {
        if (sem_wait(&s_signalPosted) != 0)
            continue;
        if (s_onSignal)
            s_onSignal(int(s_pendingSignal));
    }
    return nullptr;
}

} // namespace

void InstallTerminationSignals(SignalProc onSignal)
{
    static bool started = false;
    s_onSignal = onSignal;
    if (!started) {
        sem_init(&s_signalPosted, 0, 0);
        pthread_t waiter;
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
        if (pthread_create(&waiter, &attr, WaitForSignals, nullptr) != 0) {
            pthread_attr_destroy(&attr);
            return;
        }
        pthread_attr_destroy(&attr);
        started = true;
    }
    struct sigaction action {};
    action.sa_handler = PostSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &s_previous[0]);
    sigaction(SIGTERM, &action, &s_previous[1]);
}

void CallPreviousSignalHandler(int signal)
{
    const struct sigaction& previous = s_previous[SlotOf(signal)];
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction)
            previous.sa_sigaction(signal, nullptr, nullptr);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
               previous.sa_handler != SIG_ERR && previous.sa_handler != nullptr) {
        previous.sa_handler(signal);
    }
}

bool SetEnvironmentValue(const char* name, const char* value)
{
    return (value ? setenv(name, value, 1) : unsetenv(name)) == 0;
}

const char kPathListSeparator = ':';

bool PutEnvironment(const char* assignment)
{
    const char* equals = std::strchr(assignment, '=');
    if (!equals)
        return false;
    CTextBuffer name(assignment, int32_t(equals - assignment));
    // Configurations are written for Windows, where names ignore case: without a
    // variable of exactly this name, one whose name differs only in case is the one meant.
    if (!std::getenv(name.Data())) {
        for (char** entry = environ; *entry; ++entry) {
            const char* end = std::strchr(*entry, '=');
            if (end && CTextBuffer(*entry, int32_t(end - *entry)).CompareNoCase(name) == 0) {
                name.Assign(*entry, int32_t(end - *entry));
                break;
            }
        }
    }
    return SetEnvironmentValue(name.Data(), equals[1] ? equals + 1 : nullptr);
}

int IsProcessElevated(int* flag)
{
    int elevated = geteuid() == 0;
    if (flag)
        *flag = elevated;
    return elevated ? 0 : 1;
}
