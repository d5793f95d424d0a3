// Steps through the section headers of an open TDF stream without reading
// any section's data: per section one positional read of the 12 header
// bytes and one of the name, with no seek and nothing read ahead into the
// stream's buffer.
#pragma once

#include "TdfFormat.h"

#include <cstdint>
#include <cstdio>

namespace k4xtdf {

struct TdfSectionHeader {
    uint32_t offset;  // first byte of the section
    uint32_t length;  // whole section, header included
    uint32_t version;
    uint32_t nameLength;                    // below kNameBufferSize
    uint32_t dataLength;                    // length - 12 - nameLength, never negative
    char name[kNameBufferSize];             // NUL-terminated copy of the name
};

class TdfSectionWalker {
public:
    // Why the walk stopped; every value but Status_Ok and Status_End means
    // that the header at GetOffset() cannot be trusted.
    enum Status {
        Status_Ok,
        Status_End,
        Status_ReadError,
        Status_Truncated,
        Status_LengthTooLarge,
        Status_PastOffsetLimit,
        Status_NameTooLong,
        Status_LengthBelowHeader,
    };

    // Walks from offset, by default the first section (just behind the
    // signature). The walk leaves a stream's position undefined: seek
    // before using the stream again.
    explicit TdfSectionWalker(k4xplatform::File file, uint32_t offset = kFirstSectionOffset);

    // Reads the next section's header and name. False when the walk is over
    // for good.
    bool Next(TdfSectionHeader& header);

    Status GetStatus() const { return m_eStatus; }
    // Offset of the section that Next() read last, or tried to read.
    uint32_t GetOffset() const { return m_nOffset; }

    static const char* StatusText(Status status);

private:
    bool Stop(Status status);
    bool ReadHeader(TdfSectionHeader& header);
    bool ReadName(TdfSectionHeader& header, uint32_t nameLength);

    k4xplatform::File m_file;
    uint32_t m_nOffset;
    uint32_t m_nNextOffset;
    Status m_eStatus;
};

}  // namespace k4xtdf
