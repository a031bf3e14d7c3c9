#include "vm/main_invocation.h"

void CallSystemExit(JNIEnv* env, int status)
{
    jclass system = env->FindClass("java/lang/System");
    jmethodID exitMethod = system ? env->GetStaticMethodID(system, "exit", "(I)V") : nullptr;
    if (!exitMethod) {
        ClearPendingException(env, false);
        return;
    }
    env->CallStaticVoidMethod(system, exitMethod, jint(status));
    ClearPendingException(env, false);
    env->DeleteLocalRef(system);
}

bool ClearPendingException(JNIEnv* env, bool print)
{
    if (!env->ExceptionCheck())
        return false;
    if (print)
        env->ExceptionDescribe();
    env->ExceptionClear();
    return true;
}
