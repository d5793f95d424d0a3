#include "K4xFileNames.h"

#include "DeviceConfigManager.h"
#include "Platform.h"

#include <algorithm>

namespace k4xformat {

std::string SavedFileName(std::string name, uint32_t fileType)
{
    if (fileType != Zr::Kdt::Trace::FileType_Tdf || k4xplatform::kPathSeparator != '/')
        std::replace(name.begin(), name.end(), '/', '-');
    std::replace(name.begin(), name.end(), ' ', '_');
    return fileType == Zr::Kdt::Trace::FileType_Dcm ? name + ".dcm" : name;
}

std::string SettingsFileName(const std::string& cpuName)
{
    return SavedFileName(cpuName, Zr::Kdt::Trace::FileType_Text) + "-TCfg.txt";
}

std::string SettingsFilePath(const std::string& directory, const std::string& name)
{
    return directory + k4xplatform::kPathSeparator + name;
}

}  // namespace k4xformat
