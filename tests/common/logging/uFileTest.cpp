// The logger's file: open, write, flush and close, and the sharing a log
// reader depends on.
#include "uFile.h"

#include "Bytes.h"
#include "ScratchProfile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace k4xtest {
namespace {

using ZR_KDT::uFile;

TEST(uFile, ClosedFileDoesNothing)
{
    ScratchProfile dir;
    uFile never(dir.Path("never.txt").c_str(), "a+");
    EXPECT_EQ(never.Write("abc", 3), 0);
    EXPECT_FALSE(never.Flush());
    EXPECT_FALSE(never.Close());
    EXPECT_FALSE(std::filesystem::exists(dir.Path("never.txt")));

    uFile missing(nullptr, nullptr);
    EXPECT_FALSE(missing.Open(dir.Path("no/such/dir.txt").c_str(), "a+"));
    EXPECT_EQ(missing.Write("abc", 3), 0);
    EXPECT_FALSE(missing.Close());
}

TEST(uFile, OpenWriteCloseCycle)
{
    ScratchProfile dir;
    const std::string path = dir.Path("cycle.bin");
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

// Only Windows files have share modes; a writer that denied sharing would
// make the second open fail there.
TEST(uFile, OthersReadAndWriteWhileOpen)
{
    if (!K4X_WINDOWS) GTEST_SKIP() << "POSIX files have no share modes to deny";
    ScratchProfile dir;
    const std::string path = dir.Path("shared.txt");
    uFile first(path.c_str(), "a+");
    uFile second(path.c_str(), "a+");
    ASSERT_TRUE(first.Open(nullptr, "a+"));
    ASSERT_EQ(first.Write("one\n", 4), 4);
    ASSERT_TRUE(first.Flush());
    ASSERT_TRUE(second.Open(nullptr, "a+"));
    ASSERT_EQ(second.Write("two\n", 4), 4);
    ASSERT_TRUE(second.Flush());
    EXPECT_EQ(ReadBytes(path), StoredText("one\ntwo\n"));
    EXPECT_TRUE(first.Close());
    EXPECT_TRUE(second.Close());
}

}  // namespace
}  // namespace k4xtest
