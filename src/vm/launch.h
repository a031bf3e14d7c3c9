// The launch routine: from configuration to a running main class.
#pragma once

#include "text/text_buffer.h"

using StartCallback = void (*)();

// Returns 0 after main ran, or the number of the message it showed for a failure.
int LaunchApplication(int argc, char** argv, StartCallback onStarted);
