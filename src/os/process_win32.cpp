#include "os/process.h"

#include <windows.h>
#include <process.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>

CTextBuffer GetExecutablePath()
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? CTextBuffer(path, int32_t(n)) : CTextBuffer();
}

CTextBuffer GetCurrentFolderPath()
{
    char path[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryA(sizeof path, path);
    return n > 0 && n < sizeof path ? CTextBuffer(path, int32_t(n)) : CTextBuffer();
}

bool SetCurrentFolder(const char* path)
{
    return SetCurrentDirectoryA(path) != 0;
}

int32_t GetFullPath(const char* path, char* out, int32_t capacity)
{
    return int32_t(GetFullPathNameA(path, DWORD(capacity), out, nullptr));
}

// ---- Threads ------------------------------------------------------------------------

namespace {

struct ThreadStart {
    ThreadProc proc;
    void* argument;
};

unsigned __stdcall ThreadMain(void* raw)
{
    ThreadStart start = *static_cast<ThreadStart*>(raw);
    delete static_cast<ThreadStart*>(raw);
    return start.proc(start.argument);
}

} // namespace

CThread::~CThread()
{
    if (m_handle)
        CloseHandle(m_handle);
}

bool CThread::Start(ThreadProc proc, void* argument, bool reserveStack)
{
    if (m_handle)
        return false;
    auto* start = new (std::nothrow) ThreadStart{proc, argument};
    if (!start)
        return false;
    uintptr_t handle = _beginthreadex(nullptr, 0, ThreadMain, start,
                                      reserveStack ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr);
    if (!handle) {
        delete start;
        return false;
    }
    m_handle = reinterpret_cast<void*>(handle);
    return true;
}

uint32_t CThread::Join()
{
    if (!m_handle)
        return 0;
    WaitForSingleObject(m_handle, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(m_handle, &code);
    CloseHandle(m_handle);
    m_handle = nullptr;
    return code;
}

// ---- Termination signals ------------------------------------------------------------

namespace {

SignalProc s_onSignal = nullptr;
void (*s_previous[2])(int) = {nullptr, nullptr};

int SlotOf(int signal) { return signal == SIGINT ? 0 : 1; }

void OnCrtSignal(int signal)
{
    if (s_onSignal)
        s_onSignal(signal);
}

} // namespace

void InstallTerminationSignals(SignalProc onSignal)
{
    s_onSignal = onSignal;
    s_previous[0] = std::signal(SIGINT, OnCrtSignal);
    s_previous[1] = std::signal(SIGTERM, OnCrtSignal);
}

void CallPreviousSignalHandler(int signal)
{
    // The C library's default, ignore and error markers and its other reserved values.
    auto previous = s_previous[SlotOf(signal)];
    intptr_t marker = reinterpret_cast<intptr_t>(previous);
    if (marker == -1 || (marker >= 0 && marker <= 4))
        return;
    previous(signal);
}

bool SetEnvironmentValue(const char* name, const char* value)
{
    // _putenv keeps the C library's copy and the process environment in step;
    // "NAME=" removes the variable.
    CTextBuffer assignment(name);
    assignment.Append('=');
    if (value)
        assignment.Append(value);
    return _putenv(assignment.Data()) == 0;
}

const char kPathListSeparator = ';';

bool PutEnvironment(const char* assignment)
{
    return _putenv(assignment) == 0;
}

namespace {

bool IsVistaOrLater()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = 148;
    // Deprecated, but it is exactly the question asked: is there user account control.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = GetVersionExA(&info);
#pragma GCC diagnostic pop
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
}

} // namespace

int IsProcessElevated(int* flag)
{
    if (!IsVistaOrLater()) {
        if (flag)
            *flag = 1;
        return 0;
    }
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return -1;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    int answer = -1;
    if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) {
        answer = elevation.TokenIsElevated ? 0 : 1;
        if (flag)
            *flag = elevation.TokenIsElevated ? 1 : 0;
    }
    CloseHandle(token);
    return answer;
}
