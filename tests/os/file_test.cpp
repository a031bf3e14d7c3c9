#include "os/file.h"
#include "os/lock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string WriteProbe(const char* name, const std::string& bytes)
{
    std::FILE* f = std::fopen(name, "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return name;
}

} // namespace

TEST(ReadOnlyFile, ReadsSeeksAndSizes)
{
    std::string path = WriteProbe("tovarin_os_probe.bin", "0123456789");
    CReadOnlyFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    EXPECT_EQ(file.Size(), 10);
    char buffer[16] = {};
    ASSERT_TRUE(file.Seek(-3, CReadOnlyFile::kEnd));
    EXPECT_EQ(file.Read(buffer, 8), 3) << "short read at the end";
    EXPECT_STREQ(buffer, "789");
    ASSERT_TRUE(file.Seek(2, CReadOnlyFile::kBegin));
    ASSERT_TRUE(file.Seek(1, CReadOnlyFile::kCurrent));
    EXPECT_EQ(file.Read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "34");
    file.Close();
    EXPECT_EQ(file.Read(buffer, 1), -1);
    EXPECT_FALSE(file.Open("tovarin_no_such_file.bin"));
    std::remove(path.c_str());
}

TEST(FileMapping, MapsWholeFilesAndEmptyOnes)
{
    std::string path = WriteProbe("tovarin_os_probe.bin", "mapped bytes");
    {
        CFileMapping map;
        ASSERT_TRUE(map.Map(path.c_str()));
        ASSERT_EQ(map.Size(), 12);
        EXPECT_EQ(std::memcmp(map.Data(), "mapped bytes", 12), 0);
    }
    WriteProbe(path.c_str(), "");
    {
        CFileMapping map;
        EXPECT_TRUE(map.Map(path.c_str()));
        EXPECT_EQ(map.Size(), 0);
        EXPECT_EQ(map.Data(), nullptr);
    }
    CFileMapping missing;
    EXPECT_FALSE(missing.Map("tovarin_no_such_file.bin"));
    std::remove(path.c_str());
}

TEST(Lock, GuardAcquiresAndReleases)
{
    CLock lock;
    { CLockGuard guard(lock); }
    CLockGuard again(lock);   // would hang if the first guard had not released it
}
