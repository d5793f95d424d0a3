#include "uTime.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "Platform.h"

namespace ZR_KDT {

namespace {

// The shared record, packed into one word: a reader always sees one whole
// time, without a lock that every log line would pay for twice. Each field
// keeps the range that LocalTime gives it (a leap second included); the
// year takes the rest of the word with its sign, more than any clock gives.
// Every log line writes it.
struct Bits {
    unsigned shift;
    unsigned width;
};
constexpr Bits kMilliseconds{0, 10}, kSecond{10, 6}, kMinute{16, 6}, kHour{22, 5}, kDay{27, 5}, kDayOfWeek{32, 3},
    kMonth{35, 4};
constexpr unsigned kYearShift = 39;

// Aligned and as large as a cache line, so that nothing else shares it.
struct alignas(64) Record {
    std::atomic<uint64_t> word{0};
};
Record g_record;

uint64_t Put(int value, Bits bits)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(value)) & ((uint64_t{1} << bits.width) - 1)) << bits.shift;
}

int Get(uint64_t word, Bits bits) { return static_cast<int>((word >> bits.shift) & ((uint64_t{1} << bits.width) - 1)); }

uint64_t Pack(const k4xplatform::LocalTime& time)
{
    return Put(time.milliseconds, kMilliseconds) | Put(time.second, kSecond) | Put(time.minute, kMinute) |
           Put(time.hour, kHour) | Put(time.day, kDay) | Put(time.dayOfWeek, kDayOfWeek) | Put(time.month, kMonth) |
           static_cast<uint64_t>(static_cast<int64_t>(time.year)) << kYearShift;
}

k4xplatform::LocalTime Snapshot()
{
    const uint64_t word = g_record.word.load(std::memory_order_relaxed);
    return {static_cast<int>(static_cast<int64_t>(word) >> kYearShift),
            Get(word, kMonth),
            Get(word, kDayOfWeek),
            Get(word, kDay),
            Get(word, kHour),
            Get(word, kMinute),
            Get(word, kSecond),
            Get(word, kMilliseconds)};
}

// Replaces every token in buffer, left to right, when the whole result with
// its NUL fits into size bytes; otherwise leaves the text as it is and
// returns false.
bool Substitute(char* buffer, std::size_t size, const char* token, const char* replacement)
{
    const std::size_t tokenLength = std::strlen(token);
    const std::size_t replacementLength = std::strlen(replacement);
    std::size_t count = 0;
    for (const char* at = std::strstr(buffer, token); at != nullptr; at = std::strstr(at + 1, token)) ++count;
    if (count == 0) return true;
    const std::size_t length = std::strlen(buffer);
    if (length - count * tokenLength + count * replacementLength + 1 > size) return false;
    // Each step moves the text in one direction only, so no intermediate
    // text is longer than the larger of the old and the new one.
    for (char* at = std::strstr(buffer, token); at != nullptr; at = std::strstr(at + replacementLength, token)) {
        std::memmove(at + replacementLength, at + tokenLength, std::strlen(at + tokenLength) + 1);
        std::copy_n(replacement, replacementLength, at);
    }
    return true;
}

std::tm BrokenDown(const k4xplatform::LocalTime& time)
{
    std::tm broken{};
    broken.tm_year = time.year - 1900;
    broken.tm_mon = time.month - 1;
    broken.tm_mday = time.day;
    broken.tm_hour = time.hour;
    broken.tm_min = time.minute;
    broken.tm_sec = time.second;
    broken.tm_wday = time.dayOfWeek;
    broken.tm_isdst = 0;
    return broken;
}

}  // namespace

uTime::uTime()
{
    g_record.word.store(Pack(k4xplatform::SystemCalls().localTime()), std::memory_order_relaxed);
}

uTime::~uTime() = default;

int uTime::GetYear() const { return Snapshot().year; }

int uTime::GetMonth() const { return Snapshot().month; }

int uTime::GetDay() const { return Snapshot().day; }

k4xplatform::LocalTime uTime::GetRecord() const { return Snapshot(); }

char* uTime::Format(char* buffer, int size, const char* format) const { return Format(Snapshot(), buffer, size, format); }

char* uTime::Format(const k4xplatform::LocalTime& time, char* buffer, int size, const char* format)
{
    if (buffer == nullptr || size <= 0) return nullptr;
    const std::size_t capacity = static_cast<std::size_t>(size);
    std::strncpy(buffer, format != nullptr ? format : "", capacity);
    buffer[capacity - 1] = '\0';

    char milliseconds[16];
    std::snprintf(milliseconds, sizeof milliseconds, "%03d", time.milliseconds);
    // "%s" means other things to each runtime's strftime (seconds since the
    // epoch, or an invalid pattern), so a stamp without room for its
    // milliseconds comes out empty.
    if (!Substitute(buffer, capacity, "%s", milliseconds)) {
        buffer[0] = '\0';
        return buffer;
    }
    // A millisecond count has at most three digits: "%#s" always fits.
    std::snprintf(milliseconds, sizeof milliseconds, "%d", time.milliseconds);
    Substitute(buffer, capacity, "%#s", milliseconds);

    const std::tm broken = BrokenDown(time);
    const std::vector<char> pattern(buffer, buffer + std::strlen(buffer) + 1);
    // strftime leaves the buffer undefined when the result does not fit.
    if (std::strftime(buffer, capacity, pattern.data(), &broken) == 0) buffer[0] = '\0';
    return buffer;
}

}  // namespace ZR_KDT
