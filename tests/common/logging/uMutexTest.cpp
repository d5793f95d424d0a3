// The recursive lock that only its owner releases.
#include "uMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using ZR_KDT::uMutex;

bool UnlockOnAnotherThread(uMutex& lock)
{
    bool unlocked = true;
    std::thread([&] { unlocked = lock.Unlock(); }).join();
    return unlocked;
}

TEST(uMutex, OnlyTheOwnerReleasesEachOfItsLocks)
{
    uMutex lock;
    EXPECT_FALSE(lock.Unlock()) << "a free lock has nobody to release it";
    ASSERT_TRUE(lock.Lock());
    ASSERT_TRUE(lock.Lock());
    EXPECT_FALSE(UnlockOnAnotherThread(lock));
    EXPECT_TRUE(lock.Unlock());
    EXPECT_FALSE(UnlockOnAnotherThread(lock)) << "after one of two Unlocks the owner still holds it";
    EXPECT_TRUE(lock.Unlock());
    EXPECT_FALSE(lock.Unlock());
    EXPECT_FALSE(UnlockOnAnotherThread(lock));
}

// The other thread reads `released` as soon as its Lock returns; the owner
// sets it before its last Unlock, so the other thread sees it set whenever
// its Lock waits for that Unlock. Once the other thread holds the lock, the
// former owner cannot release it.
TEST(uMutex, OthersWaitForTheLastUnlockAndThenOwnIt)
{
    uMutex lock;
    std::atomic<bool> attempting{false};
    std::atomic<bool> released{false};
    std::atomic<bool> holding{false};
    std::atomic<bool> done{false};
    bool seenOnEntry = false;

    lock.Lock();
    lock.Lock();
    std::thread other([&] {
        attempting = true;
        lock.Lock();
        seenOnEntry = released;
        holding = true;
        while (!done) std::this_thread::yield();
        lock.Unlock();
    });
    while (!attempting) std::this_thread::yield();
    lock.Unlock();
    released = true;
    lock.Unlock();
    while (!holding) std::this_thread::yield();
    EXPECT_FALSE(lock.Unlock()) << "the former owner released the other thread's lock";
    done = true;
    other.join();
    EXPECT_TRUE(seenOnEntry) << "the other thread entered before the last Unlock";
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
