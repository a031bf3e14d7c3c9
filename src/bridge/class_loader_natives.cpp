// Natives of com.mirathel.qvx.TovarinClassLoader. Until the payload index serves them,
// classes come from the loader's class path and resources from URLClassLoader's search.
#include "vm/jvm.h"

namespace {

jobject CallSuperResourceMethod(JNIEnv* env, jobject loader, jstring name, const char* method, const char* signature)
{
    jclass urlClassLoader = env->FindClass("java/net/URLClassLoader");
    jmethodID find = urlClassLoader ? env->GetMethodID(urlClassLoader, method, signature) : nullptr;
    jobject result = find ? env->CallNonvirtualObjectMethod(loader, urlClassLoader, find, name) : nullptr;
    if (urlClassLoader)
        env->DeleteLocalRef(urlClassLoader);
    // An IOException from the class path search reaches the Java caller as thrown.
    return result;
}

} // namespace

extern "C" JNIEXPORT jclass JNICALL Java_com_mirathel_qvx_TovarinClassLoader_defineClass(JNIEnv*, jobject, jstring)
{
    return nullptr;
}

extern "C" JNIEXPORT jobject JNICALL Java_com_mirathel_qvx_TovarinClassLoader_findResource(JNIEnv* env, jobject loader,
                                                                                          jstring name)
{
    return CallSuperResourceMethod(env, loader, name, "findResource", "(Ljava/lang/String;)Ljava/net/URL;");
}

extern "C" JNIEXPORT jobject JNICALL Java_com_mirathel_qvx_TovarinClassLoader_findResources(JNIEnv* env, jobject loader,
                                                                                           jstring name)
{
    return CallSuperResourceMethod(env, loader, name, "findResources", "(Ljava/lang/String;)Ljava/util/Enumeration;");
}

extern "C" JNIEXPORT jbyteArray JNICALL Java_com_mirathel_qvx_Handler_loadResourceData(JNIEnv*, jobject, jstring)
{
    return nullptr;
}
