// Follows a growing trace log: hands its reader what the log gains, round
// by round, and starts over when the log gets shorter (cut, or replaced by
// a new one).
#pragma once

#include "uLogReader.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ZR_KDT {

class uLogFollower {
public:
    // The log's length now, with up to count of its bytes from offset on
    // in bytes (none when the log is shorter than offset); -1 when the log
    // cannot be read now.
    using ReadFrom = std::function<long long(uint64_t offset, uint64_t count, std::string& bytes)>;

    uLogFollower(uLogReader& reader, ReadFrom read) : m_reader(reader), m_read(std::move(read)) {}

    // One round: feeds what the log gained, at most kChunk bytes, and says
    // whether it gained any; when it gained nothing, hands on the record in
    // hand, which is then whole.
    bool Poll();

    // Reads what the log holds; then, while keepGoing (where it waits)
    // says so, what it gains. Ends by handing on everything.
    void Follow(const std::function<bool()>& keepGoing);

    // The most that one round reads.
    static constexpr uint64_t kChunk = 1 << 20;

private:
    uLogReader& m_reader;
    ReadFrom m_read;
    uint64_t m_offset = 0;
};

}  // namespace ZR_KDT
