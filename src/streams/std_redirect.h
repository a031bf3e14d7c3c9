// Redirection of standard output and standard error to files or child processes.
#pragma once

#include "vm/jvm.h"

class CStdRedirect {
public:
    CStdRedirect() = default;
    CStdRedirect(const CStdRedirect&) = delete;
    CStdRedirect& operator=(const CStdRedirect&) = delete;
    virtual ~CStdRedirect();

    void RedirectStderr(const char* target);
    void RedirectStdout(const char* target);
    // Gives the Java side streams over the redirected targets where the VM would not
    // pick them up by itself.
    void AttachJavaStreams(JNIEnv* env);
};

extern CStdRedirect g_stdRedirect;
