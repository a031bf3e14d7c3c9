// Placeholder: the streams stay where the system put them.
#include "streams/std_redirect.h"

CStdRedirect g_stdRedirect;

CStdRedirect::~CStdRedirect() = default;

void CStdRedirect::RedirectStderr(const char*)
{
}

void CStdRedirect::RedirectStdout(const char*)
{
}

void CStdRedirect::AttachJavaStreams(JNIEnv*)
{
}
