// tovarin-pack's entry point on POSIX systems, where arguments arrive as the bytes typed.
#include "pack.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunPackTool(args, stdout, stderr);
}
