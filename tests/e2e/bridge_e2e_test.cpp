// Classes and resources straight out of the payload: programs whose main class lives in
// a nested jar, asked about classes, packages, resources and qvx URLs by bridge.Probe.
#include "e2e_fixture.h"

#include <string>
#include <vector>

namespace {

const std::string kJars = TOVARIN_BRIDGE_JARS;

class BridgeTest : public FinishedProgramTest {
protected:
    // app.jar and libs/a.jar in the payload (stored, as the build tool stores jars), and a
    // top-level shared.txt that the VM's own loader sees too.
    std::string PackApp(const std::string& extraConfig = "", const std::string& name = "app")
    {
        std::filesystem::path top = m_dir / "shared.txt";
        std::ofstream(top) << "from the payload\n";
        return Pack("mainclass bridge.Probe\n" + extraConfig, name,
                    {{PackInput::kFile, "app.jar", kJars + "/app.jar"},
                     {PackInput::kFile, "libs/a.jar", kJars + "/a.jar"},
                     {PackInput::kFile, "shared.txt", top.string()}});
    }

    // One output line per question (pairs of what and name).
    std::vector<std::string> Ask(const std::string& program, const std::vector<std::string>& questions)
    {
        ChildOptions options;
        options.arguments = questions;
        ChildResult r = Run(program, options);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(r.out.substr(start, end - start));
        EXPECT_EQ(lines.size(), questions.size() / 2) << r.out << r.err;
        return lines;
    }
};

} // namespace

TEST_F(BridgeTest, ClassesFromNestedJars)
{
    std::vector<std::string> lines = Ask(PackApp(), {
        "class", "nested.alpha.Twice",
        "class", "libonly.Lib",
        "class", "deep.Deep",
        "class", "nested.Caf\xC3\xA9",
        "class", "nested.Empty",
        "package", "nested.alpha.Twice",
        "package", "libonly.Lib",
    });
    const std::vector<std::string> expected = {
        "class nested.alpha.Twice from app.jar",
        "class libonly.Lib from libs/a.jar",
        "class deep.Deep not found, cause none",
        "class nested.Caf\xC3\xA9 from app.jar, named in UTF-8",
        "class nested.Empty not found, cause java.lang.ClassFormatError",
        "package nested.alpha title=probe app version=2.5 spec=probe spec",
        "package libonly title=null version=null spec=null",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "question " << i;
}

TEST_F(BridgeTest, ResourcesAndTheirUrls)
{
    std::string program = PackApp();
    std::string jarUrl = "jar:file:" + program + "!/shared.txt";
    std::vector<std::string> lines = Ask(program, {
        "resource", "my file.txt",
        "resource", "deep.txt",
        "url", "qvx:libs/a.jar!inner.jar!deep.txt",
        "url", "qvx:libs/a.jar!shared.txt",
        "url", "qvx:app.jar!my%20file.txt",
        "url", "qvx:app.jar!no-such-entry",
        "resources", "shared.txt",
        "resource", "bridge/Probe.class",
        "type", "logo.png",
        "property", "java.protocol.handler.pkgs",
    });
    const std::vector<std::string> expected = {
        "resource my file.txt qvx:app.jar!my file.txt [25] a file name with a space",
        // Found by the search of every nested jar, second level included.
        "resource deep.txt qvx:libs/a.jar!inner.jar!deep.txt [10] deep data",
        "url qvx:libs/a.jar!inner.jar!deep.txt [10] deep data",
        "url qvx:libs/a.jar!shared.txt [11] from a.jar",
        "url qvx:app.jar!my%20file.txt [25] a file name with a space",
        "url qvx:app.jar!no-such-entry no stream",
        "resources shared.txt " + jarUrl + " qvx:shared.txt qvx:app.jar!shared.txt qvx:libs/a.jar!shared.txt",
        "resource bridge/Probe.class qvx:app.jar!bridge/Probe.class [0]",
        "type logo.png image/png",
        "property java.protocol.handler.pkgs=com.mirathel",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "question " << i;
}

TEST_F(BridgeTest, SettingsThatChangeTheAnswers)
{
    // "compatible" serves class files as data; an earlier handler package stays behind ours.
    std::vector<std::string> lines = Ask(PackApp("compatible TRUE\nproperty java.protocol.handler.pkgs=org.example\n"), {
        "resource", "bridge/Probe.class",
        "property", "java.protocol.handler.pkgs",
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("resource bridge/Probe.class qvx:app.jar!bridge/Probe.class [", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("] binary"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "property java.protocol.handler.pkgs=com.mirathel|org.example");
}

TEST_F(BridgeTest, LauncherClassPathComesLast)
{
    // A loader made after the properties are set sees "qvx.class.path" as the property
    // gives it: its folder is searched after the payload, for resources and classes alike.
    // Empty elements are skipped and a missing folder holds nothing.
    std::filesystem::path folder = m_dir / "classpath";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "shared.txt") << "from the class path\n";
    std::string classPath = ":" + (m_dir / "missing").string() + "::" + folder.string() + ":";
    std::string program = PackApp("assystemclassloader false\nproperty qvx.class.path=" + classPath + "\n");
    std::string jarUrl = "jar:file:" + program + "!/shared.txt";
    std::string fileUrl = "file:" + folder.string() + "/shared.txt";
    std::vector<std::string> lines = Ask(program, {"resources", "shared.txt", "resource", "shared.txt"});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "resources shared.txt " + jarUrl + " qvx:shared.txt qvx:app.jar!shared.txt "
                        "qvx:libs/a.jar!shared.txt " + fileUrl);
    EXPECT_EQ(lines[1], "resource shared.txt " + jarUrl + " [17] from the payload") << "the parent answers first";
}

TEST_F(BridgeTest, SixteenThreadsAtOnce)
{
    std::vector<PackInput> inputs = {{PackInput::kFile, "app.jar", kJars + "/app.jar"}};
    for (int k = 0; k < 4; ++k)
        inputs.push_back({PackInput::kFile, "libs/many" + std::to_string(k) + ".jar",
                          kJars + "/many" + std::to_string(k) + ".jar"});
    ChildResult r = Run(Pack("mainclass bridge.Stress\n", "stress", inputs));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "failures=0\n") << r.err;
}
