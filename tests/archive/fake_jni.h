// A Java native interface table with just the calls the archive's JNI wrappers make, so
// that they run in unit tests without a Java VM.
#pragma once

#include "vm/jvm.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

class CFakeJni {
public:
    CFakeJni()
    {
        m_table.NewByteArray = &NewByteArray;
        m_table.SetByteArrayRegion = &SetByteArrayRegion;
        m_table.GetStringLength = &GetStringLength;
        m_table.GetStringRegion = &GetStringRegion;
        m_env.env.functions = &m_table;
        m_env.owner = this;
    }
    CFakeJni(const CFakeJni&) = delete;
    CFakeJni& operator=(const CFakeJni&) = delete;
    virtual ~CFakeJni() = default;

    JNIEnv* Env() { return &m_env.env; }
    jstring String(const std::u16string& text)
    {
        m_strings.push_back(text);
        return reinterpret_cast<jstring>(&m_strings.back());
    }
    static std::string Bytes(jbyteArray array)
    {
        const auto* bytes = reinterpret_cast<const std::vector<jbyte>*>(array);
        return std::string(bytes->begin(), bytes->end());
    }

    bool failAllocation = false;

private:
    // The environment first, so that a JNIEnv* leads back to its owner.
    struct EnvBlock {
        JNIEnv env;
        CFakeJni* owner;
    };

    static CFakeJni* Owner(JNIEnv* env) { return reinterpret_cast<EnvBlock*>(env)->owner; }

    static jbyteArray JNICALL NewByteArray(JNIEnv* env, jsize length)
    {
        CFakeJni* self = Owner(env);
        if (self->failAllocation)
            return nullptr;
        self->m_arrays.emplace_back(size_t(length), jbyte(0));
        return reinterpret_cast<jbyteArray>(&self->m_arrays.back());
    }
    static void JNICALL SetByteArrayRegion(JNIEnv*, jbyteArray array, jsize start, jsize length, const jbyte* bytes)
    {
        auto* target = reinterpret_cast<std::vector<jbyte>*>(array);
        std::copy(bytes, bytes + length, target->begin() + start);
    }
    static jsize JNICALL GetStringLength(JNIEnv*, jstring text)
    {
        return jsize(reinterpret_cast<const std::u16string*>(text)->size());
    }
    static void JNICALL GetStringRegion(JNIEnv*, jstring text, jsize start, jsize length, jchar* out)
    {
        const auto* s = reinterpret_cast<const std::u16string*>(text);
        std::copy(s->begin() + start, s->begin() + start + length, out);
    }

    JNINativeInterface_ m_table{};
    EnvBlock m_env{};
    std::deque<std::vector<jbyte>> m_arrays;
    std::deque<std::u16string> m_strings;
};
