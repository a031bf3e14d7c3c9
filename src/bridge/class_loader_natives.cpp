// Natives of com.mirathel.qvx.TovarinClassLoader and com.mirathel.qvx.Handler: classes
// and resources straight out of the payload, resources as "qvx:" URLs.
//
// Every sequence of JNI calls leaves no exception pending unless it is meant for the Java
// caller (a class the VM rejects), and deletes the local references it made, so loading
// tens of thousands of classes cannot exhaust a native frame's reference table.
#include "archive/payload_archive.h"
#include "archive/resource_names.h"
#include "config/launch_config.h"
#include "vm/jvm.h"
#include "vm/main_invocation.h"

#include <atomic>
#include <cctype>

namespace {

// ---- Classes and methods looked up once, kept for the life of the process ---------

// A global class reference made on first use; a racing second thread's duplicate is
// dropped again.
jclass GlobalClass(JNIEnv* env, std::atomic<jclass>& slot, const char* name)
{
    jclass cls = slot.load(std::memory_order_acquire);
    if (cls)
        return cls;
    jclass local = env->FindClass(name);
    if (!local)
        return nullptr;
    auto global = static_cast<jclass>(env->NewGlobalRef(local));
    env->DeleteLocalRef(local);
    jclass expected = nullptr;
    if (!slot.compare_exchange_strong(expected, global, std::memory_order_acq_rel)) {
        env->DeleteGlobalRef(global);
        return expected;
    }
    return global;
}

std::atomic<jclass> s_urlClass{nullptr};
std::atomic<jclass> s_urlClassLoader{nullptr};
std::atomic<jclass> s_vectorClass{nullptr};
std::atomic<jobject> s_handler{nullptr};

// Whether class files may be read as resource data; read once.
enum class Compatible { kUnknown, kNo, kYes };
std::atomic<Compatible> s_compatible{Compatible::kUnknown};

bool ServesClassFiles()
{
    Compatible value = s_compatible.load(std::memory_order_acquire);
    if (value == Compatible::kUnknown) {
        bool yes = g_config && g_config->GetValue("compatible", true, true).CompareNoCase("true") == 0;
        value = yes ? Compatible::kYes : Compatible::kNo;
        s_compatible.store(value, std::memory_order_release);
    }
    return value == Compatible::kYes;
}

void ReportException(JNIEnv* env)
{
    ClearPendingException(env, true);
}

// ---- URLs ----------------------------------------------------------------------------

jobject Handler(JNIEnv* env)
{
    jobject handler = s_handler.load(std::memory_order_acquire);
    if (handler)
        return handler;
    jclass cls = env->FindClass("com/mirathel/qvx/Handler");
    jmethodID init = cls ? env->GetMethodID(cls, "<init>", "()V") : nullptr;
    jobject local = init ? env->NewObject(cls, init) : nullptr;
    if (cls)
        env->DeleteLocalRef(cls);
    if (!local) {
        ReportException(env);
        return nullptr;
    }
    // Two threads making the first URL at once may each make a handler; either serves.
    jobject global = env->NewGlobalRef(local);
    env->DeleteLocalRef(local);
    jobject expected = nullptr;
    if (!s_handler.compare_exchange_strong(expected, global, std::memory_order_acq_rel)) {
        env->DeleteGlobalRef(global);
        return expected;
    }
    return global;
}

// A java.net.URL for an entry path ('\' already turned into '/'), or null.
jobject MakeResourceUrl(JNIEnv* env, const CTextBuffer& entryPath, bool fromUtf8)
{
    jobject handler = Handler(env);
    jclass urlClass = handler ? GlobalClass(env, s_urlClass, "java/net/URL") : nullptr;
    jmethodID init = urlClass ? env->GetMethodID(urlClass, "<init>",
                                                 "(Ljava/net/URL;Ljava/lang/String;Ljava/net/URLStreamHandler;)V")
                              : nullptr;
    if (!init) {
        ReportException(env);
        return nullptr;
    }
    CWideTextBuffer text = MakeResourceUrlText(entryPath, fromUtf8);
    jstring spec = env->NewString(reinterpret_cast<const jchar*>(text.Data()), text.Length());
    jobject url = spec ? env->NewObject(urlClass, init, nullptr, spec, handler) : nullptr;
    if (spec)
        env->DeleteLocalRef(spec);
    if (!url)
        ReportException(env);
    return url;
}

void SlashSeparators(CTextBuffer& path)
{
    for (int32_t i = 0; i < path.Length(); ++i)
        if (path.Data()[i] == '\\')
            path.Data()[i] = '/';
}

// Entry names for a resource name: the ANSI form and, when it differs, the UTF-8 form.
struct ResourceNames {
    CTextBuffer ansi;
    CTextBuffer utf8;
    bool differ;
};

ResourceNames MakeResourceNames(JNIEnv* env, jstring name)
{
    JavaNameForms forms = MakeNameForms(env, name);
    ResourceNames names{ResourceEntryName(forms.ansi), CTextBuffer(), forms.differ};
    if (forms.differ)
        names.utf8 = ResourceEntryName(forms.utf8);
    return names;
}

jobject CallSuper(JNIEnv* env, jobject loader, jstring name, const char* method, const char* signature)
{
    jclass urlClassLoader = GlobalClass(env, s_urlClassLoader, "java/net/URLClassLoader");
    jmethodID find = urlClassLoader ? env->GetMethodID(urlClassLoader, method, signature) : nullptr;
    if (!find)
        return nullptr;
    // An IOException of the class path search reaches the Java caller as thrown.
    return env->CallNonvirtualObjectMethod(loader, urlClassLoader, find, name);
}

// ---- Classes -------------------------------------------------------------------------

// The class bytes for name through the loader's own defineClass, or null. searchNested
// lets a name reach the payload's first-level jars.
jclass DefineFromPayload(JNIEnv* env, jobject loader, jstring name, bool searchNested, bool definePackage)
{
    jclass loaderClass = env->GetObjectClass(loader);
    jmethodID define =
        env->GetMethodID(loaderClass, "defineClass", "(Ljava/lang/String;[BII)Ljava/lang/Class;");
    if (!define) {
        ClearPendingException(env, false);
        env->DeleteLocalRef(loaderClass);
        return nullptr;
    }
    g_payloadArchive->EnsureOpen();
    JavaNameForms forms = MakeNameForms(env, name);
    jbyteArray bytes = g_payloadArchive->LoadEntryData(env, ClassEntryName(forms.ansi), searchNested);
    if (!bytes && forms.differ && !env->ExceptionCheck())
        bytes = g_payloadArchive->LoadEntryData(env, ClassEntryName(forms.utf8), searchNested);
    if (!bytes) {
        env->DeleteLocalRef(loaderClass);
        return nullptr;   // an allocation failure stays pending for the caller
    }
    if (definePackage) {
        const char* text = env->GetStringUTFChars(name, nullptr);
        const char* dot = nullptr;
        for (const char* p = text; p && *p; ++p)
            if (*p == '.')
                dot = p;
        if (dot && dot - text >= 1) {
            jstring package = env->NewStringUTF(CTextBuffer(text, int32_t(dot - text)).Data());
            jmethodID getPackage = env->GetMethodID(loaderClass, "getPackage", "(Ljava/lang/String;)Ljava/lang/Package;");
            jmethodID definePackageMethod = env->GetMethodID(
                loaderClass, "definePackage",
                "(Ljava/lang/String;Ljava/lang/String;Ljava/lang/String;Ljava/lang/String;Ljava/lang/String;"
                "Ljava/lang/String;Ljava/lang/String;Ljava/net/URL;)Ljava/lang/Package;");
            jobject existing = package && getPackage ? env->CallObjectMethod(loader, getPackage, package) : nullptr;
            if (package && !existing && definePackageMethod && !env->ExceptionCheck()) {
                jobject made = env->CallObjectMethod(loader, definePackageMethod, package, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr);
                if (made)
                    env->DeleteLocalRef(made);
            }
            if (existing)
                env->DeleteLocalRef(existing);
            if (package)
                env->DeleteLocalRef(package);
            ClearPendingException(env, true);
        }
        if (text)
            env->ReleaseStringUTFChars(name, text);
    }
    env->DeleteLocalRef(loaderClass);
    // A class the VM rejects leaves its error pending: the Java side wraps it.
    auto cls = static_cast<jclass>(env->CallObjectMethod(loader, define, name, bytes, 0, env->GetArrayLength(bytes)));
    env->DeleteLocalRef(bytes);
    return cls;
}

// ---- Resource lists ------------------------------------------------------------------

struct PathList {
    CTextList paths;
};

void CollectPath(void* context, const CTextBuffer& path)
{
    static_cast<PathList*>(context)->paths.AddString(path);
}

void AddUrls(JNIEnv* env, jobject vector, jmethodID add, PathList& list, bool fromUtf8)
{
    for (int32_t k = 0; k < list.paths.Count(); ++k) {
        CTextBuffer path(list.paths.StringAt(k));
        SlashSeparators(path);
        jobject url = MakeResourceUrl(env, path, fromUtf8);
        env->CallBooleanMethod(vector, add, url);
        ClearPendingException(env, true);
        if (url)
            env->DeleteLocalRef(url);
    }
}

bool EndsWithClassNoCase(const CTextBuffer& name)
{
    static const char kSuffix[] = ".class";
    const int32_t n = sizeof kSuffix - 1;
    if (name.Length() < n)
        return false;
    for (int32_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(name.Data()[name.Length() - n + i])) != kSuffix[i])
            return false;
    return true;
}

} // namespace

extern "C" {

JNIEXPORT jclass JNICALL Java_com_mirathel_qvx_TovarinClassLoader_defineClass(JNIEnv* env, jobject loader, jstring name)
{
    return DefineFromPayload(env, loader, name, true, false);
}

// Bound only for a loader class that declares findClass native.
JNIEXPORT jclass JNICALL Java_com_mirathel_qvx_TovarinClassLoader_findClass(JNIEnv* env, jobject loader, jstring name)
{
    return DefineFromPayload(env, loader, name, false, true);
}

JNIEXPORT jobject JNICALL Java_com_mirathel_qvx_TovarinClassLoader_findResource(JNIEnv* env, jobject loader, jstring name)
{
    g_payloadArchive->EnsureOpen();
    ResourceNames names = MakeResourceNames(env, name);
    CTextBuffer path;
    bool fromUtf8 = false;
    bool found = g_payloadArchive->FindEntry(names.ansi, path);
    if (!found && names.differ)
        found = fromUtf8 = g_payloadArchive->FindEntry(names.utf8, path);
    if (!found)
        return CallSuper(env, loader, name, "findResource", "(Ljava/lang/String;)Ljava/net/URL;");
    SlashSeparators(path);
    return MakeResourceUrl(env, path, fromUtf8);
}

JNIEXPORT jobject JNICALL Java_com_mirathel_qvx_TovarinClassLoader_findResources(JNIEnv* env, jobject loader,
                                                                                jstring name)
{
    g_payloadArchive->EnsureOpen();
    jclass vectorClass = GlobalClass(env, s_vectorClass, "java/util/Vector");
    jmethodID init = vectorClass ? env->GetMethodID(vectorClass, "<init>", "()V") : nullptr;
    jmethodID add = init ? env->GetMethodID(vectorClass, "add", "(Ljava/lang/Object;)Z") : nullptr;
    jmethodID elements = add ? env->GetMethodID(vectorClass, "elements", "()Ljava/util/Enumeration;") : nullptr;
    jobject vector = elements ? env->NewObject(vectorClass, init) : nullptr;
    if (!vector) {
        ReportException(env);
        return nullptr;
    }
    ResourceNames names = MakeResourceNames(env, name);
    PathList ansi, utf8;
    CTextBuffer unused;
    g_payloadArchive->FindEntry(names.ansi, unused, CTextRef(), CollectPath, &ansi);
    if (names.differ)
        g_payloadArchive->FindEntry(names.utf8, unused, CTextRef(), CollectPath, &utf8);
    AddUrls(env, vector, add, ansi, false);
    AddUrls(env, vector, add, utf8, true);

    jobject more = CallSuper(env, loader, name, "findResources", "(Ljava/lang/String;)Ljava/util/Enumeration;");
    if (env->ExceptionCheck()) {
        env->DeleteLocalRef(vector);
        return nullptr;   // the class path's IOException reaches the caller
    }
    if (more) {
        jclass enumeration = env->GetObjectClass(more);
        jmethodID hasMore = env->GetMethodID(enumeration, "hasMoreElements", "()Z");
        jmethodID next = env->GetMethodID(enumeration, "nextElement", "()Ljava/lang/Object;");
        while (hasMore && next && env->CallBooleanMethod(more, hasMore) && !env->ExceptionCheck()) {
            jobject element = env->CallObjectMethod(more, next);
            if (env->ExceptionCheck())
                break;
            env->CallBooleanMethod(vector, add, element);
            if (element)
                env->DeleteLocalRef(element);
        }
        ClearPendingException(env, true);
        env->DeleteLocalRef(enumeration);
        env->DeleteLocalRef(more);
    }
    jobject result = env->CallObjectMethod(vector, elements);
    if (!result)
        ReportException(env);
    env->DeleteLocalRef(vector);
    return result;
}

JNIEXPORT jbyteArray JNICALL Java_com_mirathel_qvx_Handler_loadResourceData(JNIEnv* env, jobject, jstring resource)
{
    g_payloadArchive->EnsureOpen();
    UrlCandidates candidates;
    if (!UrlEntryNames(env, resource, candidates))
        return nullptr;
    if (!ServesClassFiles() && EndsWithClassNoCase(candidates.ansiForm))
        return env->NewByteArray(0);
    for (int32_t k = 0; k < candidates.count; ++k) {
        jbyteArray data = g_payloadArchive->LoadEntryData(env, candidates.names[k], false);
        if (data || env->ExceptionCheck())
            return data;
    }
    return nullptr;
}

} // extern "C"
