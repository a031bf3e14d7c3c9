// Loading the JVM library, creating and destroying the VM, and its version.
#include "vm/java_host.h"

#include "os/process.h"
#include "vm/main_invocation.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CJavaHost* g_javaHost = nullptr;

CJavaHost::CJavaHost() = default;

CJavaHost::~CJavaHost()
{
    Shutdown();
}

void CJavaHost::AddOption(const char* option)
{
    m_options.AddString(option);
}

void CJavaHost::ReportLibraryLoadError(const char* libraryPath)
{
    CTextBuffer text = DescribeLibraryLoadError();
    for (int32_t p = 0; p + 1 < text.Length();) {
        if (text.Data()[p] == '%' && text.Data()[p + 1] == '1') {
            text.Erase(p, 2);
            int32_t n = int32_t(std::strlen(libraryPath));
            if (char* gap = text.InsertGap(p, n))
                std::memcpy(gap, libraryPath, size_t(n));
            p += n;
        } else {
            ++p;
        }
    }
    text.Append('\n');
    std::fputs(text.Data(), stderr);
    std::fflush(stderr);
}

int CJavaHost::CreateVm(const char* libraryPath)
{
    SuppressSystemErrorDialogs();
    if (!m_library.Load(libraryPath)) {
        // The library may need DLLs from the runtime's own folders: "<library folder>.."
        // is the bin folder for a library in bin\client or bin\server.
        CTextBuffer folder(libraryPath);
        int32_t cut = folder.Length();
        while (cut > 0 && folder.Data()[cut - 1] != '/' && folder.Data()[cut - 1] != '\\')
            --cut;
        folder.Resize(cut);
        folder.Append("..");
        const char* path = std::getenv("PATH");
        CTextBuffer assignment("PATH=");
        assignment.Append(path ? path : "");
        assignment.Append(kPathListSeparator);
        assignment.Append(folder);
        PutEnvironment(assignment.Data());
        if (!m_library.Load(libraryPath)) {
            ReportLibraryLoadError(libraryPath);
            m_options.Clear();
            return 2;
        }
    }
    auto create = reinterpret_cast<CreateJavaVmProc>(m_library.FindSymbol("JNI_CreateJavaVM"));
    if (!create)
        create = reinterpret_cast<CreateJavaVmProc>(m_library.FindSymbol("JNI_CreateJavaVM_Impl"));
    if (!create) {
        m_options.Clear();
        return 2;
    }

    int32_t count = m_options.Count();
    auto* options = static_cast<JavaVMOption*>(std::calloc(size_t(count ? count : 1), sizeof(JavaVMOption)));
    if (!options) {
        m_options.Clear();
        return 4;
    }
    for (int32_t i = 0; i < count; ++i)
        options[i].optionString = m_options.StringAt(i);
    JavaVMInitArgs args;
    args.version = JNI_VERSION_1_2;
    args.nOptions = count;
    args.options = options;
    args.ignoreUnrecognized = JNI_TRUE;
    jint rc = create(&m_vm, reinterpret_cast<void**>(&m_env), &args);
    std::free(options);
    m_options.Clear();
    if (rc != 0) {
        m_vm = nullptr;
        m_env = nullptr;
        return 4;
    }
    return 0;
}

bool CJavaHost::QueryJavaVersion(CTextBuffer& version)
{
    JNIEnv* env = m_env;
    if (!env)
        return false;
    jclass system = env->FindClass("java/lang/System");
    if (!system) {
        ClearPendingException(env, false);
        return false;
    }
    jmethodID getProperty = env->GetStaticMethodID(system, "getProperty", "(Ljava/lang/String;)Ljava/lang/String;");
    if (!getProperty) {
        ClearPendingException(env, false);
        env->DeleteLocalRef(system);
        return false;
    }
    jstring name = env->NewStringUTF("java.version");
    auto value = static_cast<jstring>(name ? env->CallStaticObjectMethod(system, getProperty, name) : nullptr);
    version.Clear();
    if (value && !env->ExceptionCheck()) {
        const jchar* chars = env->GetStringChars(value, nullptr);
        if (chars) {
            jsize length = env->GetStringLength(value);
            jsize n = 0;
            while (n < length && chars[n])
                ++n;
            version.AssignAnsiFromWide(reinterpret_cast<const char16_t*>(chars), n);
            env->ReleaseStringChars(value, chars);
        }
    }
    ClearPendingException(env, false);
    if (value)
        env->DeleteLocalRef(value);
    if (name)
        env->DeleteLocalRef(name);
    env->DeleteLocalRef(system);
    return true;
}

namespace {

struct VersionFields {
    int count;
    int field[4];
};

// "major.minor.micro_update", trailing parts optional, read as sscanf reads
// "%d.%d.%d_%d": each number may follow blanks and carry a sign, and reading stops at the
// first character that does not fit. (Written out to keep the C library's scanf, and
// all its floating-point parsing, out of the stub.)
VersionFields ReadVersion(const char* text)
{
    static const char kSeparators[] = {'.', '.', '_'};
    VersionFields v{0, {0, 0, 0, 0}};
    const char* p = text ? text : "";
    for (int k = 0; k < 4; ++k) {
        while (std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        bool negative = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        if (!std::isdigit(static_cast<unsigned char>(*p)))
            break;
        long long value = 0;
        for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
            if (value < INT32_MAX)
                value = value * 10 + (*p - '0');
        v.field[k] = int(negative ? -(value > INT32_MAX ? INT32_MAX : value) : (value > INT32_MAX ? INT32_MAX : value));
        v.count = k + 1;
        if (k == 3 || *p != kSeparators[k])
            break;
        ++p;
    }
    return v;
}

// -1, 0 or 1 over the fields both texts have.
int CompareFields(const VersionFields& a, const VersionFields& b)
{
    int n = a.count < b.count ? a.count : b.count;
    for (int k = 0; k < n; ++k) {
        if (a.field[k] != b.field[k])
            return a.field[k] < b.field[k] ? -1 : 1;
    }
    return 0;
}

} // namespace

int CJavaHost::CheckJavaVersion(const char* version, const char* minimum, const char* maximum)
{
    VersionFields v = ReadVersion(version);
    if (CompareFields(v, ReadVersion(minimum)) < 0)
        return 6;
    if (CompareFields(v, ReadVersion(maximum)) > 0)
        return 12;
    return 0;
}

void CJavaHost::Shutdown()
{
    if (m_vm) {
        m_vm->DetachCurrentThread();
        m_vm->DestroyJavaVM();
        m_vm = nullptr;
        m_env = nullptr;
    }
    m_library.Free();
}
