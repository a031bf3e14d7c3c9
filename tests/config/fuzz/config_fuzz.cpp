// Fuzzes the configuration loader and value expansion with one input:
//   bytes 0-1   the archive length A the stub's field would hold (16 bits, so that the
//               trailer often lands inside the image);
//   byte 2      where the rest splits: the executable image before, an external
//               ".config" file after;
//   the rest    also expanded as a value on its own.
// The image and the file are written beside each other in a scratch folder and loaded
// exactly as the stub loads itself; then every kind of lookup runs over the result.
#include "config/launch_config.h"
#include "config/value_expansion.h"
#include "os/process.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <clocale>
#include <string>

namespace {

std::string g_exe;
std::string g_external;

void WriteBytes(const std::string& path, const uint8_t* data, size_t size)
{
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

void CountValue(void* context, const char* value)
{
    *static_cast<size_t*>(context) += value[0] != 0;
}

void Query(const CLaunchConfig& config)
{
    static const char* const kKeys[] = {"mainclass", "option", "property", "jre", "splash", "vm", "", "disableexternal"};
    for (const char* key : kKeys) {
        config.GetValue(key, false, true);
        config.GetValue(key, true, false);
        config.GetValueWithPrefix(key, "-X");
        size_t count = 0;
        config.ForEachValue(key, CountValue, &count, false, true, "");
        CTextList list;
        config.CollectValues(key, list, count % 2 == 0);
    }
    config.ReadJvmDll();
    config.ReadSplash();
    config.ReadStdout();
    config.ReadForceCwd();
    config.ReadVm();
    config.ResolveAppPath(CTextRef("relative.txt"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    char folder[] = "/tmp/tovarin-config-fuzz-XXXXXX";
    if (!mkdtemp(folder))
        std::abort();
    g_exe = std::string(folder) + "/app.exe";
    g_external = g_exe + ".config";
    // Names the seeds refer to, so that replacements happen.
    SetEnvironmentValue("TOVARIN_FUZZ", "value");
    SetEnvironmentValue("TOVARIN_FUZZ_ACCENT", "\xC3\xA9t\xC3\xA9");
    SetEnvironmentValue("HOMEDRIVE", "C:");
    SetEnvironmentValue("HOMEPATH", "\\Users\\fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3 || size > (1u << 20))
        return 0;
    uint32_t archiveLength = uint32_t(data[0]) | uint32_t(data[1]) << 8;
    const uint8_t* rest = data + 3;
    size_t restSize = size - 3;
    size_t split = restSize * data[2] / 255;

    WriteBytes(g_exe, rest, split);
    if (split < restSize)
        WriteBytes(g_external, rest + split, restSize - split);
    else
        std::remove(g_external.c_str());

    CLaunchConfig config(false);
    config.LoadFrom(g_exe.c_str(), archiveLength);
    g_config = &config;
    Query(config);

    // The same bytes as one value, up to the first zero byte as a configuration value is.
    CTextBuffer value(reinterpret_cast<const char*>(rest), int32_t(restSize));
    CTextBuffer text(value.Data());
    ExpandValue(text, false);
    ExpandValue(text, true);
    g_config = nullptr;
    return 0;
}
