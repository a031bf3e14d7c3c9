// Starts a program, waits for it (at most a minute, so that a program stuck in a message
// box fails the test instead of hanging it) and collects its standard output, for the
// tests that run executables built with an appended configuration.
#pragma once

#include <string>
#include <vector>

// Standard output goes to the file outputPath, whose contents come back in output.
// False when the program could not be started or did not end in time (it is killed).
bool RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& outputPath, std::string& output, int& exitCode);
