// check: every problem of stored configurations at once, with its line.
#include "Commands.h"
#include "ConfigCheck.h"
#include "PropertyText.h"
#include "Session.h"
#include "Store.h"
#include "TdfFile.h"
#include "TraceEnvironment.h"
#include "cVexaError.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace k4xtrace {

namespace {

namespace platform = ZR_KDT::platform;

const char kSection[] = "AETCONFIG";

CheckedFile Unreadable(const std::string& path, const std::string& form, const std::string& reason)
{
    CheckedFile file{path, form, {}};
    file.check.problems.push_back({0, "unreadable", reason, ""});
    return file;
}

const char kReadOnly[] = "CycleModeDelta";

// The whole file; false for anything but a readable regular file.
bool ReadBytes(const std::string& path, std::string& bytes)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (file == nullptr) return false;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file.get())) != 0;) bytes.append(chunk, got);
    return std::ferror(file.get()) == 0;
}

CheckedFile CheckTextFile(const std::string& path, const PropertyTypes& types)
{
    std::string bytes;
    if (!ReadBytes(path, bytes)) return Unreadable(path, "text", "cannot read the file");
    return {path, "text", CheckEntries(ReadTextEntries(bytes), StoredForm_TextFile, types)};
}

// The section's bytes, never more than the file holds, whatever its header claims.
std::string SectionBytes(TdfFile& tdf, const std::string& path, uint32_t version)
{
    uint32_t size = 0;
    tdf.GetSectionSize(path.c_str(), kSection, version, size);
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    std::string data(error ? 0 : static_cast<std::size_t>(std::min<std::uintmax_t>(size, fileSize)), '\0');
    uint32_t read = 0;
    tdf.LoadSection(path.c_str(), kSection, version, data.data(), static_cast<uint32_t>(data.size()), read);
    data.resize(read);
    return data;
}

CheckedFile CheckContainer(const std::string& path, const PropertyTypes& types)
{
    TdfFile tdf;
    if (!tdf.IsTdfFile(path.c_str()))
        return Unreadable(path, "aetconfig", "not a TDF container (no file starting with TDF2)");
    // The line form takes every name of the table, the read-only one included.
    const auto isName = [&types](const std::string& name) { return types.count(name) != 0 || name == kReadOnly; };
    try {
        const std::string payload = SectionBytes(tdf, path, 2);
        return {path, "aetconfig", CheckEntries(ReadPayloadEntries(payload, isName), StoredForm_Payload, types)};
    } catch (const Zr::Kdt::Vexa::cVexaError&) {
        // No current section: the older binary one may be there.
    }
    try {
        SectionBytes(tdf, path, 1);
        return {path, "aetconfig-v1", {}};
    } catch (const Zr::Kdt::Vexa::cVexaError& error) {
        return Unreadable(path, "aetconfig", std::string("no AETCONFIG section: ") + error.GetMessageText());
    }
}

bool ReadTypes(Session& session, PropertyTypes& types)
{
    std::unique_ptr<Device> device = session.NewDevice("k4xtrace-check");
    if (!device) return false;
    for (const std::string& name : PropertyNames()) {
        PropertyValue value;
        std::string error;
        if (name == kReadOnly) continue;
        if (!device->Get(name, value, error)) {
            session.Fail(name, error);
            return false;
        }
        types[name] = value.type;
    }
    return true;
}

// The library loads the file into a fresh manager; every value the check
// expects must be what the library then holds. A text file is loaded from
// its own folder, put in the place of the settings directory for the load.
void ConfirmWithLibrary(Session& session, CheckedFile& file)
{
    if (!file.check.problems.empty() || file.check.values.empty()) return;
    std::unique_ptr<Device> device = session.NewDevice("k4xtrace-check");
    if (!device) return;
    std::string error;
    bool loaded = false;
    if (file.form == "text") {
        const std::string settings = Environment("ZR_TRACE_SETTINGS_DIR");
        const std::filesystem::path path = std::filesystem::absolute(file.path).lexically_normal();
        platform::SetEnvironment("ZR_TRACE_SETTINGS_DIR", path.parent_path().string().c_str());
        loaded =
            device->Load(path.filename().string(), Zr::Kdt::Trace::FileType_Text, "the library did not load it", error);
        platform::SetEnvironment("ZR_TRACE_SETTINGS_DIR", settings.c_str());
    } else {
        loaded = device->Load(file.path, Zr::Kdt::Trace::FileType_Tdf, "the library did not load it", error);
    }
    for (const auto& [name, expected] : file.check.values) {
        PropertyValue value;
        if (loaded && device->Get(name, value, error) && JsonValue(value) == expected) continue;
        file.check.problems.push_back(
            {0, "library-disagrees",
             loaded ? "the library reads " + name + " as " + JsonValue(value) + ", not " + expected : error, ""});
        if (!loaded) return;
    }
}

}  // namespace

int CheckCommand(Session& session, const Invocation& invocation)
{
    PropertyTypes types;
    if (!ReadTypes(session, types)) return kExitFailed;
    const bool json = invocation.Has("--json");
    bool clean = true;
    if (json) std::printf("{\"files\": [");
    for (const std::string& path : invocation.arguments) {
        CheckedFile file = HasTdfExtension(path) ? CheckContainer(path, types) : CheckTextFile(path, types);
        ConfirmWithLibrary(session, file);
        clean = clean && file.check.problems.empty();
        json ? PrintCheckJson(file, &path == &invocation.arguments.front()) : PrintCheckText(file);
    }
    if (json) std::printf("\n], \"clean\": %s}\n", clean ? "true" : "false");
    return clean ? kExitSuccess : kExitFailed;
}

}  // namespace k4xtrace
