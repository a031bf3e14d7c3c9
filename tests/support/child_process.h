// Runs a program as a child process for end-to-end tests: its arguments, extra
// environment, standard output and standard error captured, exit code, time limit.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ChildResult {
    int exitCode = -1;       // -1 when the child could not be started or timed out
    bool timedOut = false;
    std::string out;
    std::string err;
};

struct ChildOptions {
    std::vector<std::string> arguments;                         // after the program name
    std::vector<std::pair<std::string, std::string>> environment; // set (empty value: removed)
    std::string workingDirectory;                               // empty: the test's own
    int timeoutSeconds = 60;
    int terminateAfterMs = -1;   // Linux: send SIGTERM this long after the start (-1: never)
};

ChildResult RunChild(const std::string& program, const ChildOptions& options);
