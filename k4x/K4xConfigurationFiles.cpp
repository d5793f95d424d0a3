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

using k4xformat::Property;
using k4xstore::CanOpenForWriting;
using k4xstore::WriteFileDurably;

namespace {

// The settings directory as published in the environment, and the name.
std::string SettingsPath(const char* name)
{
    return k4xformat::SettingsFilePath(ZR_KDT::GetEnvironmentValue(ZR_KDT::kSettingsDirectoryVariable), name);
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
    if (!k4xplatform::OpensForReading(path.c_str())) return false;
    ZR_KDT::LogProgress("K4xDeviceCfgMgr: Found input file %s ", path.c_str());

    std::string bytes;
    switch (k4xplatform::ReadWholeFile(path.c_str(), bytes)) {
    case k4xplatform::WholeFileRead_NotOpened:
        return Fail(k4xerrortext::kFailedToOpen);
    case k4xplatform::WholeFileRead_Failed:
        return false;
    case k4xplatform::WholeFileRead_Done:
        break;
    }
    k4xformat::TextReader reader(std::move(bytes));
    k4xformat::TextEntry entry;
    for (;;) {
        switch (reader.Next(entry)) {
        case k4xformat::TextReader::Result_Entry:
            StoreFromText(*entry.property, entry.value, k4xformat::TextFileProtocol);
            break;
        case k4xformat::TextReader::Result_UnknownName:
            return Fail(k4xerrortext::kInvalidPropertyName);
        case k4xformat::TextReader::Result_NameTooLong:
        case k4xformat::TextReader::Result_ValueTooLong:
            return Fail(k4xerrortext::kEntryTooLong);
        case k4xformat::TextReader::Result_End:
            return true;
        }
    }
}

bool K4xDeviceCfgMgr::LoadTdfConfiguration(const char* path)
{
    if (path == nullptr) return false;
    // A buffer that cannot be had throws std::bad_alloc, which the caller
    // reports as such.
    const k4xformat::AetConfigSection section = k4xformat::ReadAetConfigSection(path);
    switch (section.status) {
    case k4xformat::AetConfigSection::Status_NotContainer:
        return false;
    case k4xformat::AetConfigSection::Status_NoSection:
        return Fail(section.failure);
    case k4xformat::AetConfigSection::Status_Read:
        break;
    }
    if (section.version == k4xformat::kOldVersion) {
        ApplyAetConfigVersion1(section.payload);
        return true;
    }
    const std::vector<char>& data = section.payload;
    for (const auto& [name, value] : k4xformat::ParseAetConfigVersion2(data.data(), data.size()).pairs)
        ParsePropertyText(name, value);
    return true;
}

void K4xDeviceCfgMgr::ApplyAetConfigVersion1(const std::vector<char>& data)
{
    const k4xformat::AetConfigVersion1 payload =
        k4xformat::ParseAetConfigVersion1(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    for (const auto& [property, value] : payload.integers) this->*kIntegers[property->slot] = value;
    for (const auto& [property, text] : payload.eventBits) this->*kEventBits[property->slot] = text;
    m_bTwp_Source = false;
}

bool K4xDeviceCfgMgr::SaveConfiguration(const std::string& fileName, uint32_t fileType)
{
    if (fileName.empty()) return false;
    try {
        const std::string name = k4xformat::SavedFileName(fileName, fileType);
        switch (fileType) {
        case Zr::Kdt::Trace::FileType_Text:
        case Zr::Kdt::Trace::FileType_Dcm:
            return SaveTextConfiguration(name.c_str());
        case Zr::Kdt::Trace::FileType_Tdf:
            return SaveTdfConfiguration(name.c_str());
        default:
            return Fail(k4xerrortext::kInvalidFileType);
        }
    } catch (...) {
        return AbsorbException();
    }
}

bool K4xDeviceCfgMgr::SaveTextConfiguration(const char* fileName)
{
    if (fileName == nullptr) return false;
    std::string text;
    for (const Property& property : k4xformat::StoredProperties()) {
        const std::string line = k4xformat::FormatTextLine(property.name, ValueText(property));
        // Refused before the file is touched: the reader could not take it back.
        if (line.empty()) {
            return Fail(k4xerrortext::kValueTooLongHead + std::string(property.name) + k4xerrortext::kValueTooLongTail);
        }
        text += line;
    }
    const std::string path = SettingsPath(fileName);
    if (!CanOpenForWriting(path)) return Fail(k4xerrortext::kFailedToOpen);
    ZR_KDT::LogProgress("K4xDeviceCfgMgr: Found output file %s ", path.c_str());
    if (!WriteFileDurably(path, text)) return Fail(k4xerrortext::kFailedToWrite);
    return true;
}

bool K4xDeviceCfgMgr::SaveTdfConfiguration(const char* path)
{
    // The container code never creates TDF files: no file, nothing to do.
    if (!TdfFile().IsTdfFile(path)) return true;
    std::string payload;
    for (const Property& property : k4xformat::StoredProperties())
        payload += k4xformat::FormatPayloadEntry(property.name, ValueText(property));
    if (payload.size() > k4xformat::kMaxPayload) return Fail(k4xerrortext::kPayloadTooLarge);
    std::string failure;
    if (!k4xformat::AppendAetConfigSection(path, payload, failure)) return Fail(failure);
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
