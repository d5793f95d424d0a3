#include "uLogFollower.h"

namespace ZR_KDT {

bool uLogFollower::Poll()
{
    std::string bytes;
    long long length = m_read(m_offset, kChunk, bytes);
    if (length >= 0 && static_cast<uint64_t>(length) < m_offset) {
        m_reader.Restart();
        m_offset = 0;
        bytes.clear();
        length = m_read(m_offset, kChunk, bytes);
    }
    if (length < 0 || bytes.empty()) {
        m_reader.Flush();
        return false;
    }
    m_offset += bytes.size();
    m_reader.Feed(bytes);
    return true;
}

void uLogFollower::Follow(const std::function<bool()>& keepGoing)
{
    do {
        while (Poll()) {
        }
    } while (keepGoing());
    m_reader.End();
}

}  // namespace ZR_KDT
