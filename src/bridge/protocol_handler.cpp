#include "bridge/protocol_handler.h"

#include "text/text_buffer.h"
#include "vm/main_invocation.h"

void RegisterProtocolHandler(JNIEnv* env)
{
    jclass system = env->FindClass("java/lang/System");
    jmethodID getProperty =
        system ? env->GetStaticMethodID(system, "getProperty", "(Ljava/lang/String;)Ljava/lang/String;") : nullptr;
    jmethodID setProperty =
        getProperty ? env->GetStaticMethodID(system, "setProperty",
                                             "(Ljava/lang/String;Ljava/lang/String;)Ljava/lang/String;")
                    : nullptr;
    jstring name = setProperty ? env->NewStringUTF("java.protocol.handler.pkgs") : nullptr;
    if (name) {
        CTextBuffer packages("com.mirathel");
        auto old = static_cast<jstring>(env->CallStaticObjectMethod(system, getProperty, name));
        if (old && !env->ExceptionCheck()) {
            const char* text = env->GetStringUTFChars(old, nullptr);
            if (text && *text) {
                packages.Append('|');
                packages.Append(text);
            }
            if (text)
                env->ReleaseStringUTFChars(old, text);
        }
        ClearPendingException(env, true);
        jstring value = env->NewStringUTF(packages.Data());
        if (value) {
            jobject previous = env->CallStaticObjectMethod(system, setProperty, name, value);
            if (previous)
                env->DeleteLocalRef(previous);
            env->DeleteLocalRef(value);
        }
        if (old)
            env->DeleteLocalRef(old);
        env->DeleteLocalRef(name);
    }
    ClearPendingException(env, true);
    if (system)
        env->DeleteLocalRef(system);
}
