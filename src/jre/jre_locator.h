// The search for a Java runtime's JVM library in the configured order of sources, done
// once per process.
#pragma once

#include "text/text_buffer.h"

class CLaunchConfig;

// Where a runtime keeps its JVM library, relative to the runtime's home: one system's
// facts, so the search rule itself is written once.
struct RuntimeLayout {
    const char* const* locations;    // tried in order, each ending with a separator
    int32_t locationCount;
    const char* libraryName;         // "jvm.dll", "libjvm.so"
    const char* splashLibraryName;   // the runtime's splash library, beside the bin folder
    const char* const* defaultHomes; // a distribution's default runtime links (Linux)
    int32_t defaultHomeCount;
};

extern const RuntimeLayout kWindowsRuntimeLayout;
extern const RuntimeLayout kLinuxRuntimeLayout;
// The layout of the system the launcher was built for.
const RuntimeLayout& NativeRuntimeLayout();

class CJreLocator {
public:
    CJreLocator(const CLaunchConfig& config, const RuntimeLayout& layout);
    virtual ~CJreLocator();

    // The process-wide answer: the first call searches (with g_config and the native
    // layout), every later one returns the remembered path, or empty text.
    static CTextBuffer FindJvmLibrary();

    // One search, not remembered.
    CTextBuffer Search() const;
    // Letters of "jre_order" lower-cased; "cbsie" when it names none of them.
    CTextBuffer RuntimeOrder() const;
    // A JVM library under home: each location's own library, then the flavour folder's,
    // then the first subfolder (in the system's order) that holds one.
    CTextBuffer ProbeRuntimeHome(const CTextRef& home) const;
    // A library named by the runtime keys under HKEY_LOCAL_MACHINE\keyPath.
    CTextBuffer ReadRegistryRuntime(const char* keyPath) const;
    // JRE_HOME, then JAVA_HOME.
    CTextBuffer ReadEnvironmentRuntime() const;
    // The "vm" value (expanded); fewer than two characters count as none.
    CTextBuffer VmFlavour() const;

private:
    CTextBuffer SearchSource(char letter) const;

    const CLaunchConfig& m_config;
    const RuntimeLayout& m_layout;
};
