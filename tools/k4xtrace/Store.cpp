#include "Store.h"

#include "K4xFileNames.h"
#include "Platform.h"
#include "TdfFile.h"
#include "TraceEnvironment.h"
#include "TraceVariables.h"

#include <algorithm>

namespace k4xtrace {

namespace {

using Zr::Kdt::Trace::FileType;
using Zr::Kdt::Trace::FileType_Dcm;
using Zr::Kdt::Trace::FileType_Tdf;
using Zr::Kdt::Trace::FileType_Text;

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

std::string InSettings(const std::string& name)
{
    return k4xformat::SettingsFilePath(Environment(ZR_KDT::kSettingsDirectoryVariable), name);
}

// The file's size, or the largest value for a file that is not there.
uint64_t SizeOf(const std::string& path)
{
    uint64_t size = 0;
    return k4xplatform::FileSize(path.c_str(), size) ? size : UINT64_MAX;
}

}  // namespace

bool Store::Parse(const std::string& text, Store& store)
{
    store.m_label = text;
    store.m_name = text.substr(text.find(':') + 1);
    if (text == "settings") {
        store.m_kind = Kind_Settings;
    } else if (StartsWith(text, "text:")) {
        store.m_kind = Kind_Text;
    } else if (StartsWith(text, "dcm:")) {
        store.m_kind = Kind_Dcm;
    } else if (StartsWith(text, "tdf:") || TdfFile::HasExtension(text.c_str(), "tdf")) {
        store.m_kind = Kind_Tdf;
        if (!StartsWith(text, "tdf:")) store.m_name = text;
        // The Windows library reads "/" in a path to save to as part of a name.
        std::replace(store.m_name.begin(), store.m_name.end(), '/', k4xplatform::kPathSeparator);
    } else {
        store.m_kind = Kind_Text;
        store.m_name = text;
    }
    return store.m_kind == Kind_Settings || !store.m_name.empty();
}

std::string Store::LoadPath(const Device& device) const
{
    switch (m_kind) {
    case Kind_Settings:
        return InSettings(k4xformat::SettingsFileName(device.Cpu()));
    case Kind_Text:
        return InSettings(m_name);
    case Kind_Dcm:
        return InSettings(m_name + ".dcm");
    case Kind_Tdf:
        break;
    }
    return m_name;
}

std::string Store::SavePath(const Device& device) const
{
    const std::string saved = k4xformat::SavedFileName(SaveName(device), SaveType());
    return m_kind == Kind_Tdf ? saved : InSettings(saved);
}

bool Store::Load(Device& device, std::string& error) const
{
    if (m_kind == Kind_Tdf) {
        return Explained(device.Load(m_name, FileType_Tdf, error),
                         m_name + " is no TDF container (its name must end in .tdf and the file begin with TDF2)",
                         error);
    }
    const std::string name = m_kind == Kind_Settings ? k4xformat::SettingsFileName(device.Cpu())
                             : m_kind == Kind_Dcm    ? m_name + ".dcm"
                                                     : m_name;
    return Explained(device.Load(name, FileType_Text, error), "cannot read " + LoadPath(device), error);
}

bool Store::Save(Device& device, std::string& error) const
{
    if (m_kind == Kind_Tdf) return SaveTdf(device, error);
    return Explained(device.Save(SaveName(device), SaveType(), error), "the library saved nothing", error);
}

std::string Store::SaveName(const Device& device) const
{
    return m_kind == Kind_Settings ? k4xformat::SettingsFileName(device.Cpu()) : m_name;
}

FileType Store::SaveType() const
{
    return m_kind == Kind_Tdf ? FileType_Tdf : m_kind == Kind_Dcm ? FileType_Dcm : FileType_Text;
}

// The library reports success and writes nothing when the path names no
// TDF container, so the host checks that the file it saves to grew.
bool Store::SaveTdf(Device& device, std::string& error) const
{
    const std::string target = SavePath(device);
    const uint64_t before = SizeOf(target);
    if (!Explained(device.Save(m_name, FileType_Tdf, error), "the library saved nothing", error)) return false;
    if (SizeOf(target) != before) return true;
    error = "nothing written: the library appends only to an existing TDF container whose name ends in .tdf";
    if (target != m_name) error += ", and it saves to " + target + " with blanks turned into \"_\"";
    error += " (k4xtdf create PATH makes an empty container)";
    return false;
}

}  // namespace k4xtrace
