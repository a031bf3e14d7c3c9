// Calls into Java around the main class: loading it, running main, System.exit.
#pragma once

#include "vm/jvm.h"

// System.exit(status); returns only when the VM did not end the process.
void CallSystemExit(JNIEnv* env, int status);
// False when no exception is pending; otherwise prints it when asked, clears it, true.
bool ClearPendingException(JNIEnv* env, bool print);
