// Walks the section list of a TDF file (layout: see TdfFile.cpp). Every
// field is checked before it moves the cursor, and every accepted section
// moves it forward by at least its 12-byte header, so a walk always ends.
#include "TdfSectionWalker.h"

#include "Platform.h"

namespace k4xtdf {

TdfSectionWalker::TdfSectionWalker(k4xplatform::File file, uint32_t offset)
    : m_file(file), m_nOffset(offset), m_nNextOffset(offset), m_eStatus(Status_Ok)
{
    if (!k4xplatform::IsOpen(file) || offset > kOffsetLimit) m_eStatus = Status_ReadError;
}

bool TdfSectionWalker::Next(TdfSectionHeader& header)
{
    if (m_eStatus != Status_Ok) return false;
    m_nOffset = m_nNextOffset;
    return ReadHeader(header);
}

bool TdfSectionWalker::ReadHeader(TdfSectionHeader& header)
{
    unsigned char fields[kSectionHeaderSize];
    const long long got = k4xplatform::SystemCalls().readAt(m_file, m_nOffset, fields, sizeof fields);
    if (got < 0) return Stop(Status_ReadError);
    // Nothing at all behind the last section is the regular end of the list.
    if (got == 0) return Stop(Status_End);
    if (got < 4) return Stop(Status_Truncated);
    const uint32_t length = LoadU32(fields);
    if (length > kMaxSectionLength) return Stop(Status_LengthTooLarge);
    if (!FitsWithin(m_nOffset, length, kOffsetLimit)) return Stop(Status_PastOffsetLimit);
    if (got < static_cast<long long>(sizeof fields)) return Stop(Status_Truncated);

    const uint32_t nameLength = LoadU32(fields + 8);
    if (nameLength >= kNameBufferSize) return Stop(Status_NameTooLong);
    // A length inside its own header would send the next hop backwards or
    // nowhere, and would give a negative data length.
    if (length < kSectionHeaderSize + nameLength) return Stop(Status_LengthBelowHeader);
    if (!ReadName(header, nameLength)) return false;

    header.offset = m_nOffset;
    header.length = length;
    header.version = LoadU32(fields + 4);
    header.nameLength = nameLength;
    header.dataLength = length - kSectionHeaderSize - nameLength;
    m_nNextOffset = m_nOffset + length;
    return true;
}

bool TdfSectionWalker::ReadName(TdfSectionHeader& header, uint32_t nameLength)
{
    if (nameLength > 0) {
        const long long got =
            k4xplatform::SystemCalls().readAt(m_file, m_nOffset + kSectionHeaderSize, header.name, nameLength);
        if (got < 0) return Stop(Status_ReadError);
        if (got != nameLength) return Stop(Status_Truncated);
    }
    header.name[nameLength] = '\0';
    return true;
}

bool TdfSectionWalker::Stop(Status status)
{
    m_eStatus = status;
    return false;
}

const char* TdfSectionWalker::StatusText(Status status)
{
    switch (status) {
    case Status_Ok:
        return "ok";
    case Status_End:
        return "end of sections";
    case Status_ReadError:
        return "read error";
    case Status_Truncated:
        return "header or name cut off by the end of the file";
    case Status_LengthTooLarge:
        return "section length above 0x8000000";
    case Status_PastOffsetLimit:
        return "section reaches past 2 GiB";
    case Status_NameTooLong:
        return "name length of 260 or more";
    case Status_LengthBelowHeader:
        return "section length smaller than its header";
    }
    return "unknown";
}

}  // namespace k4xtdf
