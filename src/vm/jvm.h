// The one include for the Java runtime interface: the JDK's jni.h (with our own machine
// header on Windows) plus the few facts the launcher relies on beyond each call's
// published meaning, kept here so every caller sees them.
//
// - A class path element naming the executable is read like a jar (the payload is a ZIP
//   archive at the end of the file).
// - "java.system.class.loader" makes the runtime construct the named class, through its
//   constructor taking the parent loader, as the system class loader.
// - Loading the executable as a native library binds the natives it exports (on Linux the
//   support classes load the built-in library "qvx" instead: see JNI_OnLoad_qvx).
// - "java.protocol.handler.pkgs" is consulted for <package>.<protocol>.Handler.
// - DestroyJavaVM returns only after every non-daemon thread has ended; System.exit ends
//   the process with its status.
// - "java.version" holds the runtime's version text.
#pragma once

#include <jni.h>

// The creation entry point, exported as "JNI_CreateJavaVM" or "JNI_CreateJavaVM_Impl".
using CreateJavaVmProc = jint(JNICALL*)(JavaVM** vm, void** env, void* args);
