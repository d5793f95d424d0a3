// Loading and saving a K4x configuration: text files in the settings
// directory and "AETCONFIG" sections of TDF files.
#include "AetConfigPayload.h"
#include "AetConfigSection.h"
#include "K4xDeviceCfgMgr.h"
#include "K4xErrorTexts.h"
#include "K4xFileNames.h"
#include "K4xProperty.h"
#include "K4xStore.h"
#include "K4xTextFormat.h"
#include "Platform.h"
#include "TdfFile.h"
#include "TraceVariables.h"
#include "uEnvironment.h"
#include "uLogManager.h"

#include <vector>

using K4xFormat::Property;
using K4xStore::CanOpenForWriting;
using K4xStore::WriteFileDurably;

namespace {

// The settings directory as published in the environment, and the name.
std::string SettingsPath(const char* name)
{
    return K4xFormat::SettingsFilePath(ZR_KDT::GetEnvironmentValue(ZR_KDT::kSettingsDirectoryVariable), name);
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
    if (!ZR_KDT::platform::OpensForReading(path.c_str())) return false;
    ZR_KDT::LogProgress("K4xDeviceCfgMgr: Found input file %s ", path.c_str());

    std::string bytes;
    switch (ZR_KDT::platform::ReadWholeFile(path.c_str(), bytes)) {
    case ZR_KDT::platform::WholeFileRead_NotOpened:
        return Fail(K4xErrorText::kFailedToOpen);
    case ZR_KDT::platform::WholeFileRead_Failed:
        return false;
    case ZR_KDT::platform::WholeFileRead_Done:
        break;
    }
    K4xFormat::TextReader reader(std::move(bytes));
    K4xFormat::TextEntry entry;
    for (;;) {
        switch (reader.Next(entry)) {
        case K4xFormat::TextReader::Result_Entry:
            StoreFromText(*entry.property, entry.value, K4xFormat::TextFileProtocol);
            break;
        case K4xFormat::TextReader::Result_UnknownName:
            return Fail(K4xErrorText::kInvalidPropertyName);
        case K4xFormat::TextReader::Result_NameTooLong:
        case K4xFormat::TextReader::Result_ValueTooLong:
            return Fail(K4xErrorText::kEntryTooLong);
        case K4xFormat::TextReader::Result_End:
            return true;
        }
    }
}

bool K4xDeviceCfgMgr::LoadTdfConfiguration(const char* path)
{
    if (path == nullptr) return false;
    // A buffer that cannot be had throws std::bad_alloc, which the caller
    // reports as such.
    const K4xFormat::AetConfigSection section = K4xFormat::ReadAetConfigSection(path);
    switch (section.status) {
    case K4xFormat::AetConfigSection::Status_NotContainer:
        return false;
    case K4xFormat::AetConfigSection::Status_NoSection:
        return Fail(section.failure);
    case K4xFormat::AetConfigSection::Status_Read:
        break;
    }
    if (section.version == K4xFormat::kOldVersion) {
        ApplyAetConfigVersion1(section.payload);
        return true;
    }
    const std::vector<char>& data = section.payload;
    for (const auto& [name, value] : K4xFormat::ParseAetConfigVersion2(data.data(), data.size()).pairs)
        ParsePropertyText(name, value);
    return true;
}

void K4xDeviceCfgMgr::ApplyAetConfigVersion1(const std::vector<char>& data)
{
    const K4xFormat::AetConfigVersion1 payload =
        K4xFormat::ParseAetConfigVersion1(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    for (const auto& [property, value] : payload.integers) this->*kIntegers[property->slot] = value;
    for (const auto& [property, text] : payload.eventBits) this->*kEventBits[property->slot] = text;
    m_bTwp_Source = false;
}

bool K4xDeviceCfgMgr::SaveConfiguration(const std::string& fileName, uint32_t fileType)
{
    if (fileName.empty()) return false;
    try {
        const std::string name = K4xFormat::SavedFileName(fileName, fileType);
        switch (fileType) {
        case Zr::Kdt::Trace::FileType_Text:
        case Zr::Kdt::Trace::FileType_Dcm:
            return SaveTextConfiguration(name.c_str());
        case Zr::Kdt::Trace::FileType_Tdf:
            return SaveTdfConfiguration(name.c_str());
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
    for (const Property& property : K4xFormat::StoredProperties()) {
        const std::string line = K4xFormat::FormatTextLine(property.name, ValueText(property));
        // Refused before the file is touched: the reader could not take it back.
        if (line.empty()) {
            return Fail(K4xErrorText::kValueTooLongHead + std::string(property.name) + K4xErrorText::kValueTooLongTail);
        }
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
    // The container code never creates TDF files: no file, nothing to do.
    if (!TdfFile().IsTdfFile(path)) return true;
    std::string payload;
    for (const Property& property : K4xFormat::StoredProperties())
        payload += K4xFormat::FormatPayloadEntry(property.name, ValueText(property));
    if (payload.size() > K4xFormat::kMaxPayload) return Fail(K4xErrorText::kPayloadTooLarge);
    std::string failure;
    if (!K4xFormat::AppendAetConfigSection(path, payload, failure)) return Fail(failure);
    return true;
}

// The stored form of a property: decimal integers, the text up to its first
// NUL (as "%s" writes it), and 1 or 0 for the protocol flag.
std::string K4xDeviceCfgMgr::ValueText(const Property& property) const
{
    switch (property.kind) {
    case Property::Kind_Integer:
        return std::to_string(this->*kIntegers[property.slot]);
    case Property::Kind_Text:
        return (this->*kEventBits[property.slot]).c_str();
    case Property::Kind_Protocol:
        return m_bTwp_Source ? "1" : "0";
    case Property::Kind_CycleModeDelta:
        break;
    }
    return std::string();
}
