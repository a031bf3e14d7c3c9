// The two kinds of splash: the Java runtime's splash library and the built-in window.
#pragma once

#include "text/text_buffer.h"
#include "vm/jvm.h"

// Path of the runtime's splash library beside the JVM library, or empty text. Runs the
// runtime search the first time.
CTextBuffer FindRuntimeSplashLibrary();
void StartRuntimeSplash(const CTextBuffer& libraryPath);
// Shows the executable's splash bitmap in a window of its own thread; false when the
// executable has none.
bool ShowBuiltInSplash(const CTextBuffer& title);

// The built-in splash window's handle, to own the error box; null when none is shown.
void* GetSplashWindowHandle();
// Lets the built-in splash close after ms milliseconds (nothing when none is shown).
void ScheduleSplashClose(int ms);
// Closes the splash when the application's first window opens.
void RegisterSplashCloseOnWindow(JNIEnv* env);
