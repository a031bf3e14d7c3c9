#include "child_process.h"

#include <windows.h>

#include <thread>

namespace {

std::string Quote(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

void Drain(HANDLE pipe, std::string* into)
{
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0)
        into->append(buffer, n);
}

} // namespace

ChildResult RunChild(const std::string& program, const ChildOptions& options)
{
    ChildResult result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0))
        return result;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    std::string commandLine = Quote(program);
    for (const std::string& a : options.arguments)
        commandLine += " " + Quote(a);
    // The child gets this process's environment with the changes applied.
    std::vector<std::pair<std::string, std::string>> saved;
    for (const auto& [name, value] : options.environment) {
        char old[32768];
        DWORD n = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
        saved.emplace_back(name, n ? std::string(old, n) : std::string());
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(),
                                  &startup, &process);
    for (const auto& [name, value] : saved)
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        std::thread outReader(Drain, outRead, &result.out);
        std::thread errReader(Drain, errRead, &result.err);
        if (WaitForSingleObject(process.hProcess, DWORD(options.timeoutSeconds) * 1000) == WAIT_TIMEOUT) {
            result.timedOut = true;
            TerminateProcess(process.hProcess, 1);
        }
        outReader.join();
        errReader.join();
        DWORD code = 0;
        if (!result.timedOut && GetExitCodeProcess(process.hProcess, &code))
            result.exitCode = int(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return result;
}
