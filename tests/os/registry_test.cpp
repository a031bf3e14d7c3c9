// The registry primitive: reads of values this test wrote itself (Windows, under Wine
// here), and the Linux build's registry that never opens.
#include "os/registry.h"
#include "registry_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override { m_path = UniqueTestRegistryPath("os"); }
    void TearDown() override { DeleteTestRegistryKey(m_path); }
    std::string m_path;
};

} // namespace

TEST_F(RegistryKeyTest, ReadsTypesAndBytesOfValues)
{
    if (!HasTestRegistry()) {
        CRegistryKey key;
        EXPECT_FALSE(key.Open(RegistryRoot::kCurrentUser, "Software"));
        EXPECT_FALSE(key.IsOpen());
        uint32_t type = 0;
        CTextBuffer data;
        EXPECT_FALSE(key.QueryValue("", type, data));
        return;
    }
    const uint32_t number = 0x12345678;
    ASSERT_TRUE(WriteTestRegistryString(m_path, "text", CRegistryKey::kString, "hello"));
    ASSERT_TRUE(WriteTestRegistryString(m_path, "", CRegistryKey::kString, "default"));
    ASSERT_TRUE(WriteTestRegistryValue(m_path, "number", CRegistryKey::kDword, &number, 4));
    // Written without a terminator: the buffer must still end in one.
    ASSERT_TRUE(WriteTestRegistryValue(m_path, "bare", CRegistryKey::kString, "abc", 3));

    // The ANSI query may add the terminator a string was stored without; the text
    // must come back terminated either way.
    struct Case { const char* name; const char* value; uint32_t type; std::string bytes; bool textOnly; };
    const Case cases[] = {
        {"string", "text", CRegistryKey::kString, std::string("hello\0", 6), false},
        {"default value", "", CRegistryKey::kString, std::string("default\0", 8), false},
        {"dword", "number", CRegistryKey::kDword, std::string("\x78\x56\x34\x12", 4), false},
        {"string without terminator", "bare", CRegistryKey::kString, "abc", true},
    };
    CRegistryKey key;
    ASSERT_TRUE(key.Open(RegistryRoot::kCurrentUser, m_path.c_str()));
    for (const Case& c : cases) {
        uint32_t type = 0;
        CTextBuffer data;
        ASSERT_TRUE(key.QueryValue(c.value, type, data)) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        if (c.textOnly)
            EXPECT_STREQ(data.Data(), c.bytes.c_str()) << c.name;
        else
            EXPECT_EQ(std::string(data.Data(), size_t(data.Length())), c.bytes) << c.name;
        EXPECT_EQ(data.Data()[data.Length()], 0) << c.name;
    }
    uint32_t type = 0;
    CTextBuffer data;
    EXPECT_FALSE(key.QueryValue("missing", type, data));
    key.Close();
    EXPECT_FALSE(key.QueryValue("text", type, data)) << "closed key";

    struct Missing { const char* name; RegistryRoot root; std::string path; };
    const Missing missing[] = {
        {"missing key", RegistryRoot::kCurrentUser, m_path + "\\no such key"},
        {"other root", RegistryRoot::kUsers, m_path},
    };
    for (const Missing& m : missing)
        EXPECT_FALSE(key.Open(m.root, m.path.c_str())) << m.name;
}
