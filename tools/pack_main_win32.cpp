// tovarin-pack's entry point on Windows: the wide command line (linked with -municode), so
// file and entry names outside the ANSI code page arrive intact, as UTF-8.
#include "pack.h"

#include <filesystem>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(std::filesystem::path(argv[i]).u8string());
    return RunPackTool(args, stdout, stderr);
}
