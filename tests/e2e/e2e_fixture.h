// What the end-to-end tests share: a temporary folder per test, packing the host stub into
// a finished program with a configuration and payload entries, and running it.
#pragma once

#include "child_process.h"
#include "pack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class FinishedProgramTest : public ::testing::Test {
protected:
    static std::string Jvm() { return std::string(TOVARIN_JDK_HOME) + "/lib/server/libjvm.so"; }

    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                ("tovarin-e2e-" + std::string(info->name()) + "-" + std::to_string(std::rand()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Packs a program from the configuration text (plus the JVM library unless the text
    // chooses a runtime itself) and the payload entries given.
    std::string Pack(const std::string& config, const std::string& name, const std::vector<PackInput>& inputs,
                     const std::string& comment = "")
    {
        std::string text = config;
        if (config.find("jvmdll") == std::string::npos && config.find("jre_order") == std::string::npos)
            text += "jvmdll " + Jvm() + "\n";
        std::filesystem::path configFile = m_dir / (name + ".txt");
        std::ofstream(configFile, std::ios::binary) << text;
        PackOptions options;
        options.stubPath = TOVARIN_STUB;
        options.outputPath = (m_dir / name).string();
        options.configPath = configFile.string();
        options.supportClassesDir = TOVARIN_SUPPORT_CLASSES;
        options.inputs = inputs;
        options.hasComment = !comment.empty();
        options.comment = comment;
        PackResult result = PackProgram(options);
        EXPECT_TRUE(result.ok) << result.message;
        return options.outputPath;
    }

    static ChildResult Run(const std::string& program, ChildOptions options = {})
    {
        // The user's own settings must not leak into the launch.
        options.environment.insert(options.environment.begin(), {{"JAVA_TOOL_OPTIONS", ""}, {"_JAVA_OPTIONS", ""}});
        return RunChild(program, options);
    }

    std::filesystem::path m_dir;
};
