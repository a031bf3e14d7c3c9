// Finished programs against the real JVM: each test packs the host stub with a
// configuration and the probe classes at the payload's top level, runs it and reads its
// exit code, standard output and standard error.
#include "e2e_fixture.h"

#include <string>

namespace {

// The probe classes at the payload's top level, where the VM's own class loader sees them.
class LaunchTest : public FinishedProgramTest {
protected:
    std::string Pack(const std::string& config, const std::string& name = "app")
    {
        return FinishedProgramTest::Pack(config, name, {{PackInput::kFolder, "", TOVARIN_PROBE_CLASSES}});
    }
};

std::string Lines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\n";
    return text;
}

} // namespace

TEST_F(LaunchTest, ConfiguredArgumentsComeFirstAndAreSplit)
{
    ChildOptions options;
    options.arguments = {"from command line", "", "x"};
    ChildResult r = Run(Pack("mainclass probe.Echo\nargv -a \"b c\" d\nargv a\\\"b \"\"\n"), options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Lines({"count=8", "[-a]", "[b c]", "[d]", "[a\"b]", "[]", "[from command line]", "[]", "[x]"}));

    ChildResult empty = Run(Pack("mainclass probe.Echo\n", "empty"));
    EXPECT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_EQ(empty.out, "count=0\n");
}

TEST_F(LaunchTest, ExitCodesAndMessages)
{
    std::string notALibrary = (m_dir / "libjvm.so").string();
    std::ofstream(notALibrary) << "not a library";
    struct Case { const char* name; std::string config; int exitCode; std::string message; };
    const Case cases[] = {
        {"no runtime", "mainclass probe.Echo\njre_order c\njvmdll " + (m_dir / "none.so").string() + "\n", 1,
         "Error: Java Runtime Environment not found."},
        {"not a JVM library", "mainclass probe.Echo\njvmdll " + notALibrary + "\n", 2,
         "Error: Java Runtime Environment not valid."},
        {"VM refuses to start", std::string("mainclass probe.Echo\njvmdll ") + TOVARIN_STANDIN_DIR +
                                    "/standin_create_fails.so\n", 4, "Error: Java Virtual Machine starts failed."},
        {"version unreadable", std::string("mainclass probe.Echo\nminjre 1.8\njvmdll ") + TOVARIN_STANDIN_DIR +
                                   "/standin_empty_vm.so\n", 5, "Error: Can not get the virtual machine version."},
        {"main class missing", "mainclass probe.Missing\n", 7, "Error: The main startup class could not be found."},
        {"no static main", "mainclass probe.NoMain\n", 8,
         "Error: The main startup class is not valid, main method missing."},
    };
    for (const Case& c : cases) {
        ChildResult r = Run(Pack(c.config, "case" + std::to_string(&c - cases)));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message + "\n"), std::string::npos) << c.name << "\n" << r.err;
    }
}

TEST_F(LaunchTest, VersionBoundsFormatTheirMessages)
{
    ChildResult version = Run(Pack("mainclass probe.Props\nargv java.version\n", "version"));
    ASSERT_EQ(version.exitCode, 0) << version.err;
    std::string v = version.out.substr(version.out.find('=') + 1);
    v.pop_back();

    ChildResult low = Run(Pack("mainclass probe.Echo\nminjre 99.1\n", "low"));
    EXPECT_EQ(low.exitCode, 6);
    EXPECT_NE(low.err.find("Error: Java virtual machine version " + v + " is too low, require 99.1 or higher.\n"),
              std::string::npos) << low.err;

    ChildResult high = Run(Pack("mainclass probe.Echo\nminjre 1.6\nmaxjre 1.7\n", "high"));
    EXPECT_EQ(high.exitCode, 12);
    EXPECT_NE(high.err.find("Error: Java virtual machine version " + v +
                            " is too high, version between 1.6 and 1.7 is required.\n"), std::string::npos)
        << high.err;

    ChildResult within = Run(Pack("mainclass probe.Echo\nminjre 1.8\nmaxjre 99\n", "within"));
    EXPECT_EQ(within.exitCode, 0) << within.err;
}

TEST_F(LaunchTest, HowMainEnds)
{
    ChildResult thrown = Run(Pack("mainclass probe.Throw\n", "throw"));
    EXPECT_EQ(thrown.exitCode, 0) << "an exception from main is printed, not a failure";
    EXPECT_NE(thrown.err.find("java.lang.IllegalStateException: thrown by probe.Throw"), std::string::npos) << thrown.err;

    ChildResult exited = Run(Pack("mainclass probe.Exit\nargv 3\n", "exit"));
    EXPECT_EQ(exited.exitCode, 3) << exited.err;

    // main returns at once; the launcher waits for the non-daemon thread.
    ChildResult linger = Run(Pack("mainclass probe.Linger\n", "linger"));
    EXPECT_EQ(linger.exitCode, 0) << linger.err;
    EXPECT_EQ(linger.out, "main returned\nworker done\n");
}

TEST_F(LaunchTest, EnvironmentOptionsAndProperties)
{
    const std::string query = "argv env:FROM_EXPORT env:GONE env:KEPT from.tool p.x p.y p.z qvx.app.path\n";
    std::string program = Pack("mainclass probe.Props\n" + query +
                               "export FROM_EXPORT=exported\nexport GONE=\nexport KEPT\n"
                               "option -Dp.x=option\noption -Xno-such-option\nproperty p.x=property\n"
                               "property p.y\nproperty p.z=a=b\n");
    ChildOptions options;
    options.environment = {{"GONE", "was here"}, {"KEPT", "kept"}};
    ChildResult r = Run(program, options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Lines({"env:FROM_EXPORT=exported", "env:GONE=<null>", "env:KEPT=kept", "from.tool=<null>",
                               "p.x=property", "p.y=", "p.z=a=b", ("qvx.app.path=" + program).c_str()}));

    // A JAVA_TOOL_OPTIONS of the user's is removed before the VM starts, unless exported.
    ChildOptions tool;
    tool.environment = {{"JAVA_TOOL_OPTIONS", "-Dfrom.tool=user"}};
    ChildResult removed = RunChild(program, tool);
    EXPECT_NE(removed.out.find("from.tool=<null>\n"), std::string::npos) << removed.out;

    std::string exporting = Pack("mainclass probe.Props\nargv from.tool\nexport java_tool_options=-Dfrom.tool=exported\n",
                                 "exporting");
    ChildResult exported = RunChild(exporting, tool);
    EXPECT_EQ(exported.out, "from.tool=exported\n") << exported.err;
}

TEST_F(LaunchTest, ClassLoaderReplacement)
{
    ChildResult own = Run(Pack("mainclass probe.Loaders\n", "own"));
    EXPECT_EQ(own.exitCode, 0) << own.err;
    EXPECT_NE(own.out.find("system=com.mirathel.qvx.TovarinClassLoader\n"), std::string::npos) << own.out;

    ChildResult off = Run(Pack("mainclass probe.Loaders\nassystemclassloader False\n", "off"));
    EXPECT_EQ(off.exitCode, 0) << off.err;
    EXPECT_EQ(off.out.find("system=com.mirathel.qvx.TovarinClassLoader"), std::string::npos) << off.out;
    EXPECT_NE(off.out.find("context=com.mirathel.qvx.TovarinClassLoader\n"), std::string::npos) << off.out;
}

TEST_F(LaunchTest, StartOnFirstThread)
{
    ChildResult first = Run(Pack("mainclass probe.ThreadId\noption -XstartOnFirstThread\n", "first"));
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "first thread\n");

    ChildResult other = Run(Pack("mainclass probe.ThreadId\noption -xstartonfirstthread\n", "other"));
    EXPECT_EQ(other.exitCode, 0) << other.err;
    EXPECT_EQ(other.out, "other thread\n") << "the option is matched with its letter case";
}

TEST_F(LaunchTest, MessageOverrides)
{
    ChildResult r = Run(Pack("mainclass probe.Missing\nmessage 7=Nothing\\tto run\nmessage 10=Oops\n"
                             "message 7=second is ignored\n"));
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_NE(r.err.find("Oops: Nothing\tto run\n"), std::string::npos) << r.err;
}

TEST_F(LaunchTest, TerminationSignalEndsWithSystemExitZero)
{
    // Without the launcher's handler the VM's own would end the process with 143.
    ChildOptions options;
    options.terminateAfterMs = 2500;
    options.timeoutSeconds = 30;
    ChildResult r = Run(Pack("mainclass probe.Sleep\n", "sleep"), options);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.out, "sleeping\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
}
