#include "CheckFile.h"

#include "AetConfigSection.h"
#include "Platform.h"
#include "TdfFile.h"

namespace k4xtrace {

namespace {

CheckedFile Unreadable(const std::string& path, const std::string& form, const std::string& reason)
{
    CheckedFile file{path, form, {}};
    file.check.problems.push_back({0, "unreadable", reason + "; the library does not load it", ""});
    return file;
}

// The whole file, read as a load reads it; false for anything but a
// readable regular file.
bool ReadBytes(const std::string& path, std::string& bytes)
{
    k4xplatform::FileStatus status;
    if (!k4xplatform::SystemCalls().status(path.c_str(), status) || status.kind != k4xplatform::FileKind_File)
        return false;
    return k4xplatform::ReadWholeFile(path.c_str(), bytes) == k4xplatform::WholeFileRead_Done;
}

CheckedFile CheckTextFile(const std::string& path)
{
    std::string bytes;
    if (!ReadBytes(path, bytes)) return Unreadable(path, "text", "cannot read the file");
    return {path, "text", CheckTextConfiguration(std::move(bytes))};
}

CheckedFile CheckContainer(const std::string& path)
{
    const k4xformat::AetConfigSection section = k4xformat::ReadAetConfigSection(path.c_str());
    switch (section.status) {
    case k4xformat::AetConfigSection::Status_NotContainer:
        return Unreadable(path, "aetconfig", "not a TDF container (no file starting with TDF2)");
    case k4xformat::AetConfigSection::Status_NoSection:
        return Unreadable(path, "aetconfig", "no AETCONFIG section (" + section.failure + ")");
    case k4xformat::AetConfigSection::Status_Read:
        break;
    }
    // The older binary form has nothing to check.
    if (section.version == k4xformat::kOldVersion) return {path, "aetconfig-v1", {}};
    return {path, "aetconfig", CheckPayload(section.payload)};
}

}  // namespace

CheckedFile CheckFile(const std::string& path)
{
    // A bare ".tdf" included.
    return TdfFile::HasExtension(path.c_str(), "tdf") ? CheckContainer(path) : CheckTextFile(path);
}

}  // namespace k4xtrace
