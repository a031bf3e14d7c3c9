#include "vm/main_invocation.h"

#include "config/launch_config.h"
#include "vm/command_line.h"

namespace {

const char kLoaderClass[] = "com/mirathel/qvx/TovarinClassLoader";

bool UsesOwnSystemLoader()
{
    return !g_config || g_config->GetValue("assystemclassloader").CompareNoCase("FALSE") != 0;
}

} // namespace

int RunMain(JNIEnv* env, const char* mainClass, CTextList& configuredLines, int argc, char** argv)
{
    jclass cls = LoadMainClass(env, mainClass);
    if (!cls)
        return 7;
    jmethodID mainMethod = env->GetStaticMethodID(cls, "main", "([Ljava/lang/String;)V");
    if (!mainMethod) {
        ClearPendingException(env, true);
        env->DeleteLocalRef(cls);
        return 8;
    }
    CPointerArray configured;
    for (int32_t k = 0; k < configuredLines.Count(); ++k)
        SplitCommandLine(configured, configuredLines.StringAt(k));
    jobjectArray args = BuildArgumentArray(env, configured.Count(), configured.Items(), argc, argv);
    if (args) {
        env->CallStaticVoidMethod(cls, mainMethod, args);
        ClearPendingException(env, true);
        env->DeleteLocalRef(args);
    } else {
        ClearPendingException(env, true);
    }
    env->DeleteLocalRef(cls);
    return 0;
}

jclass LoadMainClass(JNIEnv* env, const char* mainClass)
{
    jclass loaderClass = env->FindClass(kLoaderClass);
    if (!loaderClass) {
        ClearPendingException(env, false);
        return nullptr;
    }
    jmethodID loadClass = env->GetMethodID(loaderClass, "loadClass", "(Ljava/lang/String;)Ljava/lang/Class;");
    if (!loadClass) {
        ClearPendingException(env, false);
        env->DeleteLocalRef(loaderClass);
        return nullptr;
    }
    jobject loader = nullptr;
    if (UsesOwnSystemLoader()) {
        loader = GetSystemClassLoader(env);
        if (loader && !env->IsInstanceOf(loader, loaderClass)) {
            env->DeleteLocalRef(loader);
            loader = nullptr;
        }
    }
    if (!loader) {
        jmethodID init = env->GetMethodID(loaderClass, "<init>", "()V");
        loader = init ? env->NewObject(loaderClass, init) : nullptr;
        if (!loader) {
            ClearPendingException(env, false);
            env->DeleteLocalRef(loaderClass);
            return nullptr;
        }
        // Code that loads through the thread's context loader must see the application.
        SetContextClassLoader(env, loader);
    }
    jstring name = env->NewStringUTF(mainClass);
    jobject cls = name ? env->CallObjectMethod(loader, loadClass, name) : nullptr;
    if (!cls)
        ClearPendingException(env, true);
    if (name)
        env->DeleteLocalRef(name);
    env->DeleteLocalRef(loader);
    env->DeleteLocalRef(loaderClass);
    return static_cast<jclass>(cls);
}

jobject GetSystemClassLoader(JNIEnv* env)
{
    jclass classLoader = env->FindClass("java/lang/ClassLoader");
    jmethodID get = classLoader ? env->GetStaticMethodID(classLoader, "getSystemClassLoader", "()Ljava/lang/ClassLoader;")
                                : nullptr;
    jobject loader = get ? env->CallStaticObjectMethod(classLoader, get) : nullptr;
    ClearPendingException(env, false);
    if (classLoader)
        env->DeleteLocalRef(classLoader);
    return loader;
}

void SetContextClassLoader(JNIEnv* env, jobject loader)
{
    jclass threadClass = env->FindClass("java/lang/Thread");
    if (!threadClass) {
        ClearPendingException(env, false);
        return;
    }
    jmethodID current = env->GetStaticMethodID(threadClass, "currentThread", "()Ljava/lang/Thread;");
    jmethodID set = current ? env->GetMethodID(threadClass, "setContextClassLoader", "(Ljava/lang/ClassLoader;)V")
                            : nullptr;
    jobject thread = set ? env->CallStaticObjectMethod(threadClass, current) : nullptr;
    if (thread) {
        env->CallVoidMethod(thread, set, loader);
        env->DeleteLocalRef(thread);
    }
    ClearPendingException(env, true);
    env->DeleteLocalRef(threadClass);
}

jobjectArray BuildArgumentArray(JNIEnv* env, int configuredCount, char** configured, int argc, char** argv)
{
    jclass stringClass = env->FindClass("java/lang/String");
    if (!stringClass)
        return nullptr;
    jobjectArray array = env->NewObjectArray(jsize(configuredCount + argc), stringClass, nullptr);
    env->DeleteLocalRef(stringClass);
    if (!array)
        return nullptr;
    jsize index = 0;
    CWideTextBuffer units;
    for (int part = 0; part < 2; ++part) {
        int count = part == 0 ? configuredCount : argc;
        char** texts = part == 0 ? configured : argv;
        for (int i = 0; i < count; ++i, ++index) {
            units.AssignFromAnsi(texts && texts[i] ? texts[i] : "");
            jstring text = env->NewString(reinterpret_cast<const jchar*>(units.Data()), units.Length());
            if (!text)
                return array;   // the pending OutOfMemoryError reaches main's caller
            env->SetObjectArrayElement(array, index, text);
            env->DeleteLocalRef(text);
        }
    }
    return array;
}

void CallSystemExit(JNIEnv* env, int status)
{
    jclass system = env->FindClass("java/lang/System");
    jmethodID exitMethod = system ? env->GetStaticMethodID(system, "exit", "(I)V") : nullptr;
    if (!exitMethod) {
        ClearPendingException(env, false);
        if (system)
            env->DeleteLocalRef(system);
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
