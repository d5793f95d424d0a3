#include "uFile.h"

#include <string>

#include <gtest/gtest.h>

#include "LogTestFiles.h"

namespace ZR_KDT {
namespace {

using test::ReadBytes;
using test::TempDirectory;

TEST(uFile, ClosedFileDoesNothing)
{
    TempDirectory dir;
    uFile never(dir.File("never.txt").c_str(), "a+");
    EXPECT_EQ(never.Write("abc", 3), 0);
    EXPECT_FALSE(never.Flush());
    EXPECT_FALSE(never.Close());
    EXPECT_FALSE(std::filesystem::exists(dir.File("never.txt")));

    uFile missing(nullptr, nullptr);
    EXPECT_FALSE(missing.Open(dir.File("no/such/dir.txt").c_str(), "a+"));
    EXPECT_EQ(missing.Write("abc", 3), 0);
    EXPECT_FALSE(missing.Close());
}

TEST(uFile, OpenWriteCloseCycle)
{
    TempDirectory dir;
    const std::string path = dir.File("cycle.bin");
    uFile file(path.c_str(), "wb");
    // A null path opens the one given to the constructor.
    ASSERT_TRUE(file.Open(nullptr, "wb"));
    EXPECT_EQ(file.Write("hello", 5), 5);
    EXPECT_TRUE(file.Flush());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.Write("more", 4), 0);
    EXPECT_FALSE(file.Flush());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadBytes(path), "hello");

    // Reopened in append mode, the old bytes stay.
    ASSERT_TRUE(file.Open(nullptr, "ab"));
    EXPECT_EQ(file.Write(" again", 6), 6);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(path), "hello again");
}

TEST(uFile, OthersReadAndWriteWhileOpen)
{
    TempDirectory dir;
    const std::string path = dir.File("shared.txt");
    uFile first(path.c_str(), "a+");
    uFile second(path.c_str(), "a+");
    ASSERT_TRUE(first.Open(nullptr, "a+"));
    ASSERT_EQ(first.Write("one\n", 4), 4);
    ASSERT_TRUE(first.Flush());
    // A writer that denied sharing would make this open fail on Windows.
    ASSERT_TRUE(second.Open(nullptr, "a+"));
    ASSERT_EQ(second.Write("two\n", 4), 4);
    ASSERT_TRUE(second.Flush());
    EXPECT_EQ(ReadBytes(path), test::Stored("one\ntwo\n"));
    EXPECT_TRUE(first.Close());
    EXPECT_TRUE(second.Close());
}

}  // namespace
}  // namespace ZR_KDT
