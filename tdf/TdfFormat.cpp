// Little-endian field access, independent of the host's byte order.
#include "TdfFormat.h"

namespace k4xtdf {

uint32_t LoadU32(const unsigned char* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool ReadU32At(k4xplatform::File file, uint64_t offset, uint32_t& value)
{
    unsigned char bytes[4] = {0, 0, 0, 0};
    const long long got = k4xplatform::SystemCalls().readAt(file, offset, bytes, sizeof bytes);
    value = LoadU32(bytes);
    return got == sizeof bytes;
}

bool WriteU32(k4xplatform::File file, uint32_t value)
{
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value),
        static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16),
        static_cast<unsigned char>(value >> 24),
    };
    return k4xplatform::SystemCalls().write(bytes, 1, sizeof bytes, file) == sizeof bytes;
}

bool ReadSignature(k4xplatform::File file)
{
    uint32_t value = 0;
    return ReadU32At(file, 0, value) && value == kSignature;
}

}  // namespace k4xtdf
