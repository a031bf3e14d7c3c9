// What the launcher needs to know about and do to its own process: where its executable
// lies, the current folder, threads, and the hooks for termination signals.
#pragma once

#include "text/text_buffer.h"

#include <cstdint>

// Full path of the running executable as the system reports it (at most 260 characters
// on Windows; /proc/self/exe on Linux).
CTextBuffer GetExecutablePath();

// The process's current folder, without a trailing separator unless it is a root.
CTextBuffer GetCurrentFolderPath();
bool SetCurrentFolder(const char* path);

// The absolute form of path in out (capacity bytes including the terminator). Returns
// the length the full path needs: greater than or equal to capacity when it does not fit,
// 0 on failure. Mirrors GetFullPathNameA so callers treat both systems alike.
int32_t GetFullPath(const char* path, char* out, int32_t capacity);

// A thread that runs a procedure and can be waited for; joined or detached by its owner.
using ThreadProc = uint32_t (*)(void* argument);

class CThread {
public:
    CThread() = default;
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;
    virtual ~CThread();

    // reserveStack asks Windows to reserve, not commit, the default stack (the Linux
    // build always uses the default stack). False when no thread could be created.
    bool Start(ThreadProc proc, void* argument, bool reserveStack);
    // Waits for the thread to end and returns its exit code.
    uint32_t Join();

private:
    void* m_handle = nullptr;   // HANDLE on Windows, a heap pthread_t on Linux
};

// Termination signals (SIGINT, SIGTERM). `onSignal` runs on a thread where calling into
// the Java VM is allowed: the C library's handler on Windows, a waiting thread on Linux
// (the signal handler itself only posts a semaphore). The handlers that were installed
// before are kept for CallPreviousSignalHandler.
using SignalProc = void (*)(int signal);
void InstallTerminationSignals(SignalProc onSignal);
// Calls the handler saved for signal when it is a real function (not a default, ignore
// or error marker).
void CallPreviousSignalHandler(int signal);

// Separates the folders of PATH: ';' on Windows, ':' on Linux.
extern const char kPathListSeparator;

// Sets (value non-null) or removes a variable of the process environment.
bool SetEnvironmentValue(const char* name, const char* value);
// Applies "NAME=value" to the C library's and the process's environment; "NAME=" removes
// the variable.
bool PutEnvironment(const char* assignment);

// 0 when the process counts as elevated (an elevated token on Windows Vista and later,
// every process before it; effective user 0 on Linux), 1 when it does not, -1 when the
// token cannot be read. flag, when given, is set to 1 or 0 alike.
int IsProcessElevated(int* flag = nullptr);
