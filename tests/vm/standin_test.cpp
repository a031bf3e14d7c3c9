// The VM host against stand-in JVM libraries: the failure results of loading and
// creation, and a VM in which nothing can be found.
#include "vm/java_host.h"
#include "vm/main_invocation.h"

#include "os/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Standin(const char* variant)
{
    return std::string(TOVARIN_STANDIN_DIR) + "/standin_" + variant + TOVARIN_STANDIN_SUFFIX;
}

} // namespace

TEST(StandinJvm, CreationResults)
{
    struct Case { const char* variant; int result; };
    const Case cases[] = {
        {"no_export", 2},
        {"create_fails", 4},
        {"impl_only", 4},   // the alternative entry point is found, and its refusal reported
        {"empty_vm", 0},
    };
    for (const Case& c : cases) {
        CJavaHost host;
        host.AddOption("-Dx=1");
        host.AddOption("-Xunknown-option");
        EXPECT_EQ(host.CreateVm(Standin(c.variant).c_str()), c.result) << c.variant;
        EXPECT_EQ(host.Options().Count(), 0) << c.variant << ": options are emptied";
        EXPECT_EQ(host.Vm() != nullptr, c.result == 0) << c.variant;
        host.Shutdown();
        EXPECT_EQ(host.Vm(), nullptr) << c.variant;
    }
}

TEST(StandinJvm, LookupsThatFindNothing)
{
    CJavaHost host;
    ASSERT_EQ(host.CreateVm(Standin("empty_vm").c_str()), 0);
    CTextBuffer version("unchanged");
    EXPECT_FALSE(host.QueryJavaVersion(version)) << "no java/lang/System: result 5 for the launch";
    CTextList noArguments;
    EXPECT_EQ(RunMain(host.Env(), "app.Main", noArguments, 0, nullptr), 7) << "no loader class";
    CallSystemExit(host.Env(), 3);   // returns: there is no System.exit to call
    host.Shutdown();
}

TEST(StandinJvm, FailedLoadPutsTheLibraryFolderOnPath)
{
    const char* saved = std::getenv("PATH");
    std::string original = saved ? saved : "";
    struct Case { const char* name; bool unset; const char* library; std::string pathAfter; };
    const std::string sep(1, kPathListSeparator);
    const Case cases[] = {
        {"no separator in the path", false, "tovarin-no-such-jvm", original + sep + ".."},
        {"unset PATH", true, "tovarin-missing/bin/client/jvm-library", sep + "tovarin-missing/bin/client/.."},
    };
    for (const Case& c : cases) {
        SetEnvironmentValue("PATH", c.unset ? nullptr : original.c_str());
        CJavaHost host;
        EXPECT_EQ(host.CreateVm(c.library), 2) << c.name;
        const char* now = std::getenv("PATH");
        EXPECT_EQ(std::string(now ? now : "(unset)"), c.pathAfter) << c.name;
    }
    SetEnvironmentValue("PATH", original.c_str());

    CJavaHost loads;
    EXPECT_EQ(loads.CreateVm(Standin("create_fails").c_str()), 4);
    EXPECT_EQ(std::string(std::getenv("PATH")), original) << "a library that loads leaves PATH alone";
}
