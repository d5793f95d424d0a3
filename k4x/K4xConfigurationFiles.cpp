// Loading and saving a K4x configuration: text files in the settings
// directory and "AETCONFIG" sections of TDF files.
#include "AetConfigPayload.h"
#include "K4xDeviceCfgMgr.h"
#include "K4xDurableWrite.h"
#include "K4xErrorTexts.h"
#include "K4xProperty.h"
#include "K4xTextFormat.h"
#include "Platform.h"
#include "TdfFile.h"
#include "TdfFormat.h"
#include "cVexaError.h"
#include "uEnvironment.h"
#include "uLogManager.h"
#include "uString.h"
#include "uSystemCalls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using TdfFormat::StreamGuard;
using Zr::Kdt::Vexa::cVexaError;

namespace {

const char kSection[] = "AETCONFIG";
const uint32_t kCurrentVersion = 2;
const uint32_t kOldVersion = 1;
// Readers refuse longer sections, header and name included.
const std::size_t kMaxPayload = TdfFormat::kMaxSectionLength - TdfFormat::kSectionHeaderSize - (sizeof kSection - 1);

// The settings directory as published in the environment, the platform's
// separator, and the name.
std::string SettingsPath(const char* name)
{
    return std::string(ZR_KDT::GetEnvironmentValue("ZR_TRACE_SETTINGS_DIR")) + ZR_KDT::platform::kPathSeparator + name;
}

bool CanOpenForReading(const std::string& path)
{
    return StreamGuard(ZR_KDT::SystemCalls().openFile(path.c_str(), "r")) != nullptr;
}

// Bytes from `from` to the end of the file, plus one so that the read of
// them also sees the end; one chunk more when the length cannot be told.
std::size_t RestOfFile(std::FILE* file, std::size_t from)
{
    if (std::fseek(file, 0, SEEK_END) != 0) return from;
    const long end = std::ftell(file);
    return end >= 0 && static_cast<std::size_t>(end) >= from ? static_cast<std::size_t>(end) - from + 1 : from;
}

// The whole file in positional reads. A read that comes back short is the
// end of the file, so a settings file of a few lines costs one read, and a
// longer one a second read of the length measured after the first.
bool ReadWholeFile(std::FILE* file, std::string& bytes)
{
    for (std::size_t want = 4096;; want = RestOfFile(file, bytes.size())) {
        const std::size_t have = bytes.size();
        bytes.resize(have + want);
        const long long got = ZR_KDT::platform::ReadAt(file, have, &bytes[have], want);
        bytes.resize(have + static_cast<std::size_t>(got < 0 ? 0 : got));
        if (got < 0) return false;
        if (static_cast<std::size_t>(got) < want) return true;
    }
}

// A header may claim far more data than the file holds, so the buffer is
// no larger than the file. The signature, a header and the name come before
// the data, so a section cut short still ends in at least 25 zeros: all
// that the old form's five integers and four terminators can read. Every
// payload therefore reads as from a zeroed buffer of the claimed size.
uint32_t BufferSize(const char* path, uint32_t claimed)
{
    uint64_t fileSize = 0;
    if (!ZR_KDT::platform::FileSize(path, fileSize)) return claimed;
    return static_cast<uint32_t>(std::min<uint64_t>(claimed, fileSize));
}

// One "AETCONFIG" section. Container errors throw cVexaError.
std::vector<char> ReadSection(const char* path, uint32_t version)
{
    TdfFile tdf;
    uint32_t size = 0;
    tdf.GetSectionSize(path, kSection, version, size);
    std::vector<char> data(BufferSize(path, size), '\0');
    uint32_t read = 0;
    tdf.LoadSection(path, kSection, version, data.data(), static_cast<uint32_t>(data.size()), read);
    return data;
}

}  // namespace

bool K4xDeviceCfgMgr::LoadConfiguration(const std::string& fileName, int32_t fileType)
{
    if (fileName.empty()) return false;
    try {
        switch (fileType) {
        case Zr::Kdt::Trace::FileType_Text:
        case Zr::Kdt::Trace::FileType_TextAlias:
            return LoadTextConfiguration(fileName.c_str());
        case Zr::Kdt::Trace::FileType_Tdf:
            return LoadTdfConfiguration(fileName.c_str());
        default:
            return true;
        }
    } catch (...) {
        return AbsorbException();
    }
}

bool K4xDeviceCfgMgr::LoadTextConfiguration(const char* fileName)
{
    if (fileName == nullptr) return false;
    const std::string path = SettingsPath(fileName);
    // A missing settings file is the normal case for a new device.
    if (!CanOpenForReading(path)) return false;
    ZR_KDT::LogProgress("K4xDeviceCfgMgr: Found input file %s ", path.c_str());
    ZR_KDT::SystemCalls().afterTextProbe(path.c_str());

    std::string bytes;
    {
        StreamGuard file(ZR_KDT::SystemCalls().openFile(path.c_str(), "rb"));
        if (file == nullptr) return Fail(K4xErrorText::kFailedToOpen);
        if (!ReadWholeFile(file.get(), bytes)) return false;
    }
    K4xTextReader reader(std::move(bytes));
    std::string_view name, value;
    for (;;) {
        switch (reader.Next(name, value)) {
        case K4xTextReader::Result_End:
            return true;
        case K4xTextReader::Result_TooLong:
            return Fail(K4xErrorText::kEntryTooLong);
        case K4xTextReader::Result_Entry:
            if (!ApplyTextEntry(name, value)) return Fail(K4xErrorText::kInvalidPropertyName);
        }
    }
}

// Stores one entry of a text file, where the protocol flag is a number;
// false for a name that no file may hold.
bool K4xDeviceCfgMgr::ApplyTextEntry(std::string_view name, std::string_view value)
{
    return name.empty() || StoreFromText(name, value, [](std::string_view text) { return AtoiOf(text) != 0; });
}

bool K4xDeviceCfgMgr::LoadTdfConfiguration(const char* path)
{
    if (path == nullptr) return false;
    TdfFile tdf;
    if (!tdf.IsTdfFile(path)) return false;
    // A buffer that cannot be had throws std::bad_alloc, which the caller
    // reports as such.
    try {
        const std::vector<char> data = ReadSection(path, kCurrentVersion);
        for (const auto& [name, value] : ParseAetConfigVersion2(data.data(), data.size()))
            ParsePropertyText(name, value);
        return true;
    } catch (const cVexaError&) {
        // No usable current section: the older binary form may be there.
    }
    try {
        ApplyAetConfigVersion1(ReadSection(path, kOldVersion));
        return true;
    } catch (const cVexaError& error) {
        return Fail(error.GetMessageText());
    }
}

void K4xDeviceCfgMgr::ApplyAetConfigVersion1(const std::vector<char>& data)
{
    const AetConfigVersion1 payload =
        ParseAetConfigVersion1(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    for (const auto& [name, value] : payload.integers) this->*K4xProperty::Find(name)->integer = value;
    for (const auto& [name, text] : payload.eventBits) this->*K4xProperty::Find(name)->text = text;
    m_bTwp_Source = false;
}

bool K4xDeviceCfgMgr::SaveConfiguration(const std::string& fileName, uint32_t fileType)
{
    if (fileName.empty()) return false;
    try {
        std::string name = fileName;
        // A TDF path keeps its directory separators where "/" is the platform's own.
        if (fileType != Zr::Kdt::Trace::FileType_Tdf || ZR_KDT::platform::kPathSeparator != '/')
            ZR_KDT::uString::ReplaceAll(name, "/", "-");
        ZR_KDT::uString::ReplaceAll(name, " ", "_");
        switch (fileType) {
        case Zr::Kdt::Trace::FileType_Text:
            return SaveTextConfiguration(name.c_str());
        case Zr::Kdt::Trace::FileType_Tdf:
            return SaveTdfConfiguration(name.c_str());
        case Zr::Kdt::Trace::FileType_Dcm:
            return SaveTextConfiguration((name + ".dcm").c_str());
        default:
            return Fail(K4xErrorText::kInvalidFileType);
        }
    } catch (...) {
        return AbsorbException();
    }
}

bool K4xDeviceCfgMgr::SaveTextConfiguration(const char* fileName)
{
    if (fileName == nullptr) return false;
    std::string text;
    for (const K4xProperty* p = K4xProperty::StoredBegin(); p != K4xProperty::StoredEnd(); ++p) {
        const std::string line = FormatTextLine(p->name, ValueText(*p));
        // Refused before the file is touched: the reader could not take it back.
        if (line.empty())
            return Fail(K4xErrorText::kValueTooLongHead + std::string(p->name) + K4xErrorText::kValueTooLongTail);
        text += line;
    }
    const std::string path = SettingsPath(fileName);
    if (!CanOpenForWriting(path)) return Fail(K4xErrorText::kFailedToOpen);
    ZR_KDT::LogProgress("K4xDeviceCfgMgr: Found output file %s ", path.c_str());
    if (!WriteFileDurably(path, text)) return Fail(K4xErrorText::kFailedToWrite);
    return true;
}

bool K4xDeviceCfgMgr::SaveTdfConfiguration(const char* path)
{
    TdfFile tdf;
    // The container code never creates TDF files: no file, nothing to do.
    if (!tdf.IsTdfFile(path)) return true;
    std::string payload;
    for (const K4xProperty* p = K4xProperty::StoredBegin(); p != K4xProperty::StoredEnd(); ++p) {
        payload += std::string(p->name) + "=" + ValueText(*p) + "\n";
    }
    if (payload.size() > kMaxPayload) return Fail(K4xErrorText::kPayloadTooLarge);
    try {
        uint32_t offset = 0, length = 0;
        tdf.AppendSectionHeader(path, kSection, kCurrentVersion, offset);
        tdf.SaveSectionData(path, offset, payload.data(), 1, static_cast<uint32_t>(payload.size()), length);
    } catch (const cVexaError& error) {
        return Fail(error.GetMessageText());
    }
    return true;
}

// The stored form of a property: decimal integers, the text up to its first
// NUL (as "%s" writes it), and 1 or 0 for the protocol flag.
std::string K4xDeviceCfgMgr::ValueText(const K4xProperty& property) const
{
    switch (property.kind) {
    case K4xProperty::Kind_Integer:
        return std::to_string(this->*property.integer);
    case K4xProperty::Kind_Text:
        return (this->*property.text).c_str();
    case K4xProperty::Kind_Protocol:
        return m_bTwp_Source ? "1" : "0";
    case K4xProperty::Kind_CycleModeDelta:
        break;
    }
    return std::string();
}
