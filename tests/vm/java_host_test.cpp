#include "vm/java_host.h"

#include <gtest/gtest.h>

TEST(CheckJavaVersion, Table)
{
    struct Case { const char* version; const char* minimum; const char* maximum; int result; };
    const Case cases[] = {
        {"1.8.0_231", "1.2", "9.0", 0},
        {"11.0.2", "1.2", "9.0", 12},
        {"9.0.4", "1.2", "9.0", 0},
        {"1.6.0_45", "1.7", "", 6},
        {"1.8.0_231", "1.8.0_251", "", 6},
        {"17", "1.8", "", 0},
        {"1.8.0_231", "", "1.7", 12},
        {"1.8.0-ea", "1.8.0_20", "", 0},
        {"1.8.0", "abc", "", 0},
        {"", "1.8", "9", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CJavaHost::CheckJavaVersion(c.version, c.minimum, c.maximum), c.result)
            << c.version << " in [" << c.minimum << ", " << c.maximum << "]";
}

TEST(JavaHost, UnloadableLibraryGivesTwoAndEmptiesTheOptions)
{
    CJavaHost host;
    host.AddOption("-Xmx16m");
    EXPECT_EQ(host.Options().Count(), 1);
    EXPECT_EQ(host.CreateVm("no/such/folder/jvm-library"), 2);
    EXPECT_EQ(host.Options().Count(), 0);
    EXPECT_EQ(host.Vm(), nullptr);
    host.Shutdown();
    host.Shutdown();
}
