// Finished Windows programs under Wine: the win64 stub packed with a configuration that
// names a stand-in JVM library, read back by the stub itself, ending with each failure's
// result. Without a display Wine's boxes return at once, so nothing waits for a click.
#include "e2e_fixture.h"

#include <string>

namespace {

std::string Standin(const char* variant)
{
    return std::string(TOVARIN_STANDIN_DIR) + "/standin_" + variant + ".dll";
}

class WindowsLaunchTest : public FinishedProgramTest {};

} // namespace

TEST_F(WindowsLaunchTest, FailureResults)
{
    struct Case { const char* name; std::string config; bool comment; int exitCode; };
    const Case cases[] = {
        {"no runtime", "jre_order c\njvmdll Z:/no/such/jvm.dll\n", false, 1},
        {"no entry point", "jvmdll " + Standin("no_export") + "\n", false, 2},
        {"creation refused", "jvmdll " + Standin("create_fails") + "\n", false, 4},
        {"alternative entry point", "jvmdll " + Standin("impl_only") + "\n", false, 4},
        {"version unreadable", "minjre 1.8\njvmdll " + Standin("empty_vm") + "\n", false, 5},
        {"main class not found", "jvmdll " + Standin("empty_vm") + "\n", false, 7},
        {"archive comment after the payload", "jvmdll " + Standin("empty_vm") + "\n", true, 7},
    };
    for (const Case& c : cases) {
        std::string name = "case" + std::to_string(&c - cases) + ".exe";
        std::string program = Pack("mainclass app.Main\n" + c.config, name, {}, c.comment ? "trailing comment" : "");
        ChildResult r = Run(program);
        EXPECT_FALSE(r.timedOut) << c.name;
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name << "\n" << r.err;
    }
}
