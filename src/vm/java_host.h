// The one Java VM hosted inside the launcher's process: its option list, the JVM
// library, the VM and the JNIEnv of the thread that created it.
#pragma once

#include "os/library.h"
#include "text/text_buffer.h"
#include "vm/jvm.h"

class CJavaHost {
public:
    CJavaHost();
    CJavaHost(const CJavaHost&) = delete;
    CJavaHost& operator=(const CJavaHost&) = delete;
    virtual ~CJavaHost();

    void AddOption(const char* option);
    // 0 on success, 2 when the library does not load or lacks the entry point, 4 when
    // the VM refuses to start. The option list is emptied whatever the outcome.
    int CreateVm(const char* libraryPath);
    // Writes the system's reason why the library did not load to standard error, with
    // "%1" replaced by the path.
    static void ReportLibraryLoadError(const char* libraryPath);
    // The "java.version" property; false when System.getProperty cannot be found.
    bool QueryJavaVersion(CTextBuffer& version);
    // 0 within the bounds, 6 below the minimum, 12 above the maximum.
    static int CheckJavaVersion(const char* version, const char* minimum, const char* maximum);
    // Detaches the calling thread, destroys the VM (waiting for non-daemon threads) and
    // unloads the library; idempotent.
    void Shutdown();

    JNIEnv* Env() const { return m_env; }
    JavaVM* Vm() const { return m_vm; }
    const CTextList& Options() const { return m_options; }

private:
    CTextList m_options;
    CLibrary m_library;
    JavaVM* m_vm = nullptr;
    JNIEnv* m_env = nullptr;
};

extern CJavaHost* g_javaHost;
