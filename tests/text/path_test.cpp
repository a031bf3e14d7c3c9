#include "text/path.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(NormalizeDotSegments, Table)
{
    struct Case { const char* name; const char* in; const char* out; };
    const Case cases[] = {
        {"dot step", "a\\.\\b", "a\\b"},
        {"repeated dot steps", "a\\.\\.\\b", "a\\b"},
        {"name and parent step", "x\\name\\..\\y", "x\\y"},
        {"after bang removed alone", "app.jar!\\..\\c", "app.jar!c"},
        {"after colon removed alone", "qvx:\\..\\a.png", "qvx:a.png"},
        {"leading parent step", "\\..\\a\\b", "a\\b"},
        {"parent step at the very end", "x\\name\\..\\", "x\\"},
        {"two climbs", "a\\b\\c\\..\\..\\d", "a\\d"},
        {"nothing to do", "a\\b..\\c", "a\\b..\\c"},
        {"relative first name", "name\\..\\z", "z"},
    };
    for (const Case& c : cases) {
        CTextBuffer path(c.in);
        NormalizeDotSegments(path);
        EXPECT_STREQ(path.Data(), c.out) << c.name;
        EXPECT_EQ(path.Length(), int32_t(std::string(c.out).size())) << c.name;
    }
}

TEST(FileExists, ReadableFilesOnly)
{
    const char* name = "tovarin_file_exists_probe.txt";
    std::remove(name);
    EXPECT_FALSE(FileExists(name));
    EXPECT_FALSE(FileExists(nullptr));
    std::FILE* f = std::fopen(name, "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_TRUE(FileExists(name));
    std::remove(name);
}
