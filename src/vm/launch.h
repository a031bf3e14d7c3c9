// The launch routine: from configuration to a running main class.
#pragma once

#include "vm/jvm.h"

using StartCallback = void (*)();

// Returns 0 after main ran, or the number of the message it showed for a failure.
int LaunchApplication(int argc, char** argv, StartCallback onStarted);

// Sets one Java system property from "name=value" (UTF-8; no "=" means an empty value).
// The text is split in place.
void SetSystemProperty(JNIEnv* env, char* assignment);
