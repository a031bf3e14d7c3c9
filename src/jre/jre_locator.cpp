#include "jre/jre_locator.h"

#include "config/launch_config.h"
#include "config/value_expansion.h"
#include "os/directory.h"
#include "os/registry.h"
#include "text/path.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kWindowsLocations[] = {"", "bin\\", "jre\\bin\\", "..\\jre\\bin\\"};
// The 9+ layout keeps the library in lib/<flavour>/, the 8 layout in
// jre/lib/amd64/<flavour>/ (a JDK) or lib/amd64/<flavour>/ (a JRE).
const char* const kLinuxLocations[] = {"", "lib/", "lib/amd64/", "jre/lib/", "jre/lib/amd64/", "../jre/lib/amd64/"};
const char* const kLinuxDefaultHomes[] = {"/usr/lib/jvm/default-java", "/usr/lib/jvm/jre"};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

CTextBuffer Joined(const CTextRef& a, const char* b, const char* c = "", const char* d = "")
{
    CTextBuffer path(a);
    path.Append(b);
    path.Append(c);
    path.Append(d);
    return path;
}

// Cuts at the last separator unless there is none or it is the first character.
void CutLastComponent(CTextBuffer& path)
{
    int32_t i = path.Length() - 1;
    while (i >= 0 && !IsSeparator(path.Data()[i]))
        --i;
    if (i > 0)
        path.Resize(i);
}

// The remembered answer lives until the process ends.
bool s_searched = false;
CTextBuffer s_remembered;

} // namespace

const RuntimeLayout kWindowsRuntimeLayout = {kWindowsLocations, 4, "jvm.dll", "splashscreen.dll", nullptr, 0};
const RuntimeLayout kLinuxRuntimeLayout = {kLinuxLocations, 6, "libjvm.so", "libsplashscreen.so", kLinuxDefaultHomes, 2};

CJreLocator::CJreLocator(const CLaunchConfig& config, const RuntimeLayout& layout) : m_config(config), m_layout(layout)
{
}

CJreLocator::~CJreLocator() = default;

CTextBuffer CJreLocator::FindJvmLibrary()
{
    if (!s_searched && g_config) {
        s_remembered = CJreLocator(*g_config, NativeRuntimeLayout()).Search();
        s_searched = true;
    }
    return s_remembered;
}

CTextBuffer CJreLocator::RuntimeOrder() const
{
    CTextBuffer order = m_config.ReadJreOrder();
    bool namesSource = false;
    for (int32_t i = 0; i < order.Length(); ++i) {
        char c = char(std::tolower(static_cast<unsigned char>(order.Data()[i])));
        order.Data()[i] = c;
        namesSource = namesSource || (c && std::strchr("cbsie", c));
    }
    return namesSource ? order : CTextBuffer("cbsie");
}

CTextBuffer CJreLocator::Search() const
{
    CTextBuffer order = RuntimeOrder();
    for (int32_t i = 0; i < order.Length(); ++i) {
        CTextBuffer found = SearchSource(order.Data()[i]);
        if (!found.IsEmpty())
            return found;
    }
    return CTextBuffer();
}

CTextBuffer CJreLocator::SearchSource(char letter) const
{
    switch (letter) {
    case 'c': {
        CTextBuffer library = m_config.ReadJvmDll();
        return !library.IsEmpty() && FileExists(library.Data()) ? library : CTextBuffer();
    }
    case 'b': {
        CTextBuffer home = m_config.ReadJre();
        return ProbeRuntimeHome(home.IsEmpty() ? m_config.ResolveAppPath(CTextRef("./jre/")) : home);
    }
    case 's': {
        CTextBuffer found = ReadRegistryRuntime("SOFTWARE\\JavaSoft\\JRE");
        if (found.IsEmpty())
            found = ReadRegistryRuntime("SOFTWARE\\JavaSoft\\Java Runtime Environment");
        // Linux has no registry: the distribution's default runtime takes its place.
        for (int32_t k = 0; found.IsEmpty() && k < m_layout.defaultHomeCount; ++k)
            found = ProbeRuntimeHome(CTextRef(m_layout.defaultHomes[k]));
        return found;
    }
    case 'i':
        return ReadRegistryRuntime("SOFTWARE\\IBM\\Java2 Runtime Environment");
    case 'e':
        return ReadEnvironmentRuntime();
    default:
        return CTextBuffer();
    }
}

CTextBuffer CJreLocator::ProbeRuntimeHome(const CTextRef& given) const
{
    if (given.IsEmpty())
        return CTextBuffer();
    CTextBuffer home(given);
    if (!IsSeparator(home.CharAt(home.Length() - 1)))
        home.Append('/');
    CTextBuffer flavour = VmFlavour();
    for (int32_t k = 0; k < m_layout.locationCount; ++k) {
        CTextBuffer folder = Joined(home, m_layout.locations[k]);
        CTextBuffer candidate = Joined(folder, m_layout.libraryName);
        if (FileExists(candidate.Data()))
            return candidate;
        if (flavour.Length() >= 2) {
            candidate = Joined(folder, flavour.Data(), "/", m_layout.libraryName);
            if (FileExists(candidate.Data()))
                return candidate;
        }
        CDirectoryScan scan;
        if (!scan.Open(folder.Data()))
            continue;
        CTextBuffer name;
        bool isFolder = false;
        while (scan.Next(name, isFolder)) {
            if (!isFolder)
                continue;
            candidate = Joined(folder, name.Data(), "/", m_layout.libraryName);
            if (FileExists(candidate.Data()))
                return candidate;
        }
    }
    return CTextBuffer();
}

CTextBuffer CJreLocator::ReadRegistryRuntime(const char* keyPath) const
{
    CRegistryKey key;
    CTextBuffer version;
    if (!key.Open(RegistryRoot::kLocalMachine, keyPath) || !key.ReadText("CurrentVersion", version))
        return CTextBuffer();
    key.Close();
    CTextBuffer versionPath = Joined(CTextRef(keyPath), "\\", version.Data());
    if (!key.Open(RegistryRoot::kLocalMachine, versionPath.Data()))
        return CTextBuffer();
    CTextBuffer library;
    if (!key.ReadText("RuntimeLib", library)) {
        CTextBuffer home;
        bool found = key.ReadText("JavaHome", home);
        key.Close();
        return found ? ProbeRuntimeHome(home) : CTextBuffer();
    }
    key.Close();
    if (FileExists(library.Data()) && VmFlavour().Length() < 2)
        return library;
    // home\bin\<flavour>\jvm.dll becomes home\bin, where the wanted flavour is probed.
    CutLastComponent(library);
    CutLastComponent(library);
    return ProbeRuntimeHome(library);
}

CTextBuffer CJreLocator::ReadEnvironmentRuntime() const
{
    static const char* const kVariables[] = {"JRE_HOME", "JAVA_HOME"};
    for (const char* name : kVariables) {
        const char* value = std::getenv(name);
        if (value && *value) {
            CTextBuffer found = ProbeRuntimeHome(CTextRef(value));
            if (!found.IsEmpty())
                return found;
        }
    }
    return CTextBuffer();
}

CTextBuffer CJreLocator::VmFlavour() const
{
    return m_config.ReadVm();
}
