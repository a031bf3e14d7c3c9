// How the support classes bind the natives of this executable. On Windows they load the
// executable itself as a library (its exports carry the plain JNI names). glibc refuses
// to load an executable as a library, so on Linux they load the built-in library "qvx",
// which the VM recognises by this export of the running program.
#include "vm/jvm.h"

extern "C" JNIEXPORT jint JNICALL JNI_OnLoad_qvx(JavaVM*, void*)
{
    return JNI_VERSION_1_8;
}
