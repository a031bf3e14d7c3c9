// Natives of com.mirathel.qvx.TovarinClassLoader.
#include "vm/jvm.h"

extern "C" JNIEXPORT jclass JNICALL Java_com_mirathel_qvx_TovarinClassLoader_defineClass(JNIEnv*, jobject, jstring)
{
    // No payload index yet: the loader falls back to its class path.
    return nullptr;
}
