#include "os/shared_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(SharedBlock, NamedBlocksShareBytesUntilTheLastUserLeaves)
{
    const std::string name = "tovarin-test-" + std::to_string(reinterpret_cast<uintptr_t>(&name));
    CSharedBlock first, second;
    ASSERT_TRUE(first.OpenNamed(name.c_str()));
    ASSERT_TRUE(second.OpenNamed(name.c_str()));
    ASSERT_EQ(first.Size(), CSharedBlock::kNamedSize);
    EXPECT_NE(first.Address(), second.Address());
    std::memcpy(first.Address(), "shared", 7);
    EXPECT_STREQ(static_cast<const char*>(second.Address()), "shared");

    first.Close();
    EXPECT_STREQ(static_cast<const char*>(second.Address()), "shared") << "still in use by the second";
    second.Close();
    CSharedBlock fresh;
    ASSERT_TRUE(fresh.OpenNamed(name.c_str()));
    EXPECT_EQ(static_cast<const char*>(fresh.Address())[0], 0) << "a block nobody uses starts zeroed";
}

TEST(SharedBlock, ExecutableSection)
{
    CSharedBlock block;
    ASSERT_TRUE(block.OpenExecutableSection());
    EXPECT_EQ(block.Size(), CSharedBlock::kSectionSize);
    EXPECT_NE(block.Address(), nullptr);
}
