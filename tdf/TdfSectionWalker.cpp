// Walks the section list of a TDF file (layout: see TdfFile.cpp). Every
// field is checked before it moves the cursor, and every accepted section
// moves it forward by at least its 12-byte header, so a walk always ends.
#include "TdfSectionWalker.h"

using namespace TdfFormat;

TdfSectionWalker::TdfSectionWalker(std::FILE* stream)
    : m_pStream(stream), m_nOffset(0), m_nNextOffset(0), m_eStatus(Status_Ok)
{
    const long position = stream != nullptr ? std::ftell(stream) : -1;
    if (position < 0 || static_cast<uint64_t>(position) > kOffsetLimit) {
        m_eStatus = Status_ReadError;
        return;
    }
    m_nOffset = static_cast<uint32_t>(position);
    m_nNextOffset = m_nOffset;
}

bool TdfSectionWalker::Next(TdfSectionHeader& header)
{
    if (m_eStatus != Status_Ok) return false;
    m_nOffset = m_nNextOffset;
    if (std::fseek(m_pStream, static_cast<long>(m_nOffset), SEEK_SET) != 0) return Stop(Status_ReadError);
    return ReadHeader(header);
}

bool TdfSectionWalker::ReadHeader(TdfSectionHeader& header)
{
    uint32_t length = 0;
    if (!ReadU32(m_pStream, length)) {
        // Nothing at all behind the last section is the regular end of the list.
        const bool atEnd = !std::ferror(m_pStream) && std::ftell(m_pStream) == static_cast<long>(m_nOffset);
        return Stop(atEnd ? Status_End : ShortReadStatus());
    }
    if (length > kMaxSectionLength) return Stop(Status_LengthTooLarge);
    if (!FitsWithin(m_nOffset, length, kOffsetLimit)) return Stop(Status_PastOffsetLimit);

    uint32_t version = 0;
    uint32_t nameLength = 0;
    if (!ReadU32(m_pStream, version) || !ReadU32(m_pStream, nameLength)) return Stop(ShortReadStatus());
    if (nameLength >= kNameBufferSize) return Stop(Status_NameTooLong);
    // A length inside its own header would send the next hop backwards or
    // nowhere, and would give a negative data length.
    if (length < kSectionHeaderSize + nameLength) return Stop(Status_LengthBelowHeader);
    if (std::fread(header.name, 1, nameLength, m_pStream) != nameLength) return Stop(ShortReadStatus());
    header.name[nameLength] = '\0';

    header.offset = m_nOffset;
    header.length = length;
    header.version = version;
    header.nameLength = nameLength;
    header.dataLength = length - kSectionHeaderSize - nameLength;
    m_nNextOffset = m_nOffset + length;
    return true;
}

bool TdfSectionWalker::Stop(Status status)
{
    m_eStatus = status;
    return false;
}

TdfSectionWalker::Status TdfSectionWalker::ShortReadStatus() const
{
    return std::ferror(m_pStream) ? Status_ReadError : Status_Truncated;
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
