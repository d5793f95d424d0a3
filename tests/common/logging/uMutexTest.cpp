#include "uMutex.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace ZR_KDT {
namespace {

TEST(uMutex, OnlyTheOwnerReleases)
{
    uMutex lock;
    EXPECT_FALSE(lock.Unlock()) << "a free lock has nobody to release it";

    ASSERT_TRUE(lock.Lock());
    ASSERT_TRUE(lock.Lock());
    bool strangerUnlocked = true;
    std::thread([&] { strangerUnlocked = lock.Unlock(); }).join();
    EXPECT_FALSE(strangerUnlocked);

    // Still held twice by this thread: two releases, then no more.
    EXPECT_TRUE(lock.Unlock());
    std::thread([&] { strangerUnlocked = lock.Unlock(); }).join();
    EXPECT_FALSE(strangerUnlocked) << "after one of two Unlocks the owner still holds it";
    EXPECT_TRUE(lock.Unlock());
    EXPECT_FALSE(lock.Unlock());
}

TEST(uMutex, NestedLockBlocksOthersUntilTheLastUnlock)
{
    uMutex lock;
    std::atomic<int> released{0};
    std::atomic<bool> waiting{false};
    int seenOnEntry = -1;

    lock.Lock();
    lock.Lock();
    std::thread other([&] {
        waiting = true;
        lock.Lock();
        seenOnEntry = released;
        lock.Unlock();
    });
    while (!waiting) std::this_thread::yield();
    lock.Unlock();
    std::this_thread::yield();
    released = 1;
    lock.Unlock();
    other.join();
    EXPECT_EQ(seenOnEntry, 1) << "the other thread entered before the last Unlock";

    // Free again: this thread can take it once more.
    EXPECT_TRUE(lock.Lock());
    EXPECT_TRUE(lock.Unlock());
}

TEST(uMutex, SerialisesThreads)
{
    uMutex lock;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            uMutex::Hold hold(lock);
            uMutex::Hold again(lock);
            ++counter;
        }
    };
    std::thread a(work);
    std::thread b(work);
    work();
    a.join();
    b.join();
    EXPECT_EQ(counter, 60000);
}

}  // namespace
}  // namespace ZR_KDT
