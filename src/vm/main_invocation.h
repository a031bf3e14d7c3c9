// Calls into Java around the main class: loading it through the launcher's class
// loader, building main's String[], calling main, System.exit and exception clearing.
// Everything runs on the thread that created the VM unless an env is given.
#pragma once

#include "text/text_buffer.h"
#include "vm/jvm.h"

// Loads the main class and calls its static main(String[]) with the configured arguments
// (each "argv" line split like a command line) followed by the program arguments.
// 0 when main was called, 7 when the class does not load, 8 without a suitable main.
int RunMain(JNIEnv* env, const char* mainClass, CTextList& configuredLines, int argc, char** argv);
// The class, loaded through the launcher's class loader (the system class loader when
// the VM made one of ours, else a new instance), or null.
jclass LoadMainClass(JNIEnv* env, const char* mainClass);
jobject GetSystemClassLoader(JNIEnv* env);
void SetContextClassLoader(JNIEnv* env, jobject loader);
// A new String[]: the configured arguments, then the program arguments, each converted
// from the ANSI code page (a null pointer gives an empty string).
jobjectArray BuildArgumentArray(JNIEnv* env, int configuredCount, char** configured, int argc, char** argv);

// System.exit(status); returns only when the VM did not end the process.
void CallSystemExit(JNIEnv* env, int status);
// False when no exception is pending; otherwise prints it when asked, clears it, true.
bool ClearPendingException(JNIEnv* env, bool print);
