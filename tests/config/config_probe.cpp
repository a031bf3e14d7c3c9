// A test program built from the launcher's objects: it loads the configuration of its
// own executable file exactly as the stub does and prints the values asked for, one
// "key=value" line each, then the trailer position. Copies of it with a configuration
// appended show what a finished program reads. Never shipped.
#include "config/launch_config.h"

#include <clocale>
#include <cstdio>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    CLaunchConfig config(true);
    g_config = &config;
    for (int i = 1; i < argc; ++i)
        std::printf("%s=%s\n", argv[i], config.GetValue(argv[i]).Data());
    std::printf("trailer=%d external=%d\n", int(config.TrailerPosition()), int(config.ExternalLength()));
    g_config = nullptr;
    return 0;
}
