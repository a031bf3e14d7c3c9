#include "core/startup.h"

#include <gtest/gtest.h>

TEST(ResolveForceCwd, Table)
{
    struct Case { const char* name; const char* value; const char* base; const char* joined; };
    const Case cases[] = {
        {"relative", "data", "C:\\Prog\\", "C:\\Prog\\data"},
        {"rooted keeps the drive", "\\data", "C:\\Prog\\", "C:\\data"},
        {"drive letter unchanged", "D:\\x", "C:\\Prog\\", "D:\\x"},
        {"slash unchanged", "/srv/app", "/opt/prog/", "/srv/app"},
        {"rooted without a drive", "\\data", "/opt/prog/", "\\data"},
        {"base without separator", "data", "/opt/prog", "/opt/prog/data"},
        {"posix relative", "data", "/opt/prog/", "/opt/prog/data"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(ResolveForceCwd(CTextRef(c.value), CTextRef(c.base)).Data(), c.joined) << c.name;
}

TEST(WildcardMode, Table)
{
    struct Case { const char* value; int mode; };
    const Case cases[] = {{"all", 2}, {"ALL", 2}, {"true", 1}, {"Auto", 1}, {"yes", 0}, {"", 0}, {"true ", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMode(CTextBuffer(c.value)), c.mode) << "'" << c.value << "'";
}

namespace {

uint32_t ReturnArgumentCount(void* raw)
{
    return uint32_t(static_cast<LaunchRequest*>(raw)->argumentCount * 10);
}

} // namespace

TEST(RunOnLaunchThread, ReturnsTheThreadsExitCode)
{
    LaunchRequest request{7, nullptr, nullptr, 0};
    EXPECT_EQ(RunOnLaunchThread(ReturnArgumentCount, &request), 70u);
}

TEST(RunLaunch, NullRequestRunsAnEmptyLaunch)
{
    EXPECT_EQ(RunLaunch(nullptr), 0u);
    LaunchRequest request{0, nullptr, nullptr, 5};
    EXPECT_EQ(RunOnLaunchThread(RunLaunch, &request), 0u);
    EXPECT_EQ(request.result, 0);
}
