// Environment variables, the working directory and the trace directories.
#include "uEnvironment.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

#include "Platform.h"
#include "uString.h"

namespace ZR_KDT {

namespace {

constexpr std::size_t kWorkingDirectorySize = 260;

// The calling thread's value slot. Map nodes never move, so a slot stays put
// while other threads add theirs; the lock covers only the table itself, and
// a thread looks its slot up once. A forked child's thread has a new id and
// looks again.
std::string& ThreadSlot()
{
    static std::mutex s_tableLock;
    static std::map<uint32_t, std::string> s_slots;
    thread_local std::string* t_slot = nullptr;
    thread_local uint32_t t_slotThread = 0;
    const uint32_t thread = k4xplatform::CurrentThreadId();
    if (t_slot == nullptr || t_slotThread != thread) {
        std::lock_guard<std::mutex> guard(s_tableLock);
        t_slot = &s_slots[thread];
        t_slotThread = thread;
    }
    return *t_slot;
}

// <trace directory>/<name>, created when missing.
const char* TraceSubdirectory(std::string& out, const char* name)
{
    GetTraceDirectory(out);
    AppendPathComponent(out, name);
    CreateDirectoryPath(out.c_str());  // an existing directory is the normal case
    return out.c_str();
}

// "C:" or "C:\": the walk below skips a drive and makes nothing for it.
bool EndsInDrive(const char* path)
{
    std::size_t end = std::strlen(path);
    while (end > 0 && path[end - 1] == k4xplatform::kPathSeparator) --end;
    return end > 0 && path[end - 1] == ':';
}

}  // namespace

const char* GetEnvironmentValue(const char* name)
{
    if (name == nullptr) throw source_utilities_error("failed set an environment variable name to null");
    std::string& slot = ThreadSlot();
    k4xplatform::GetEnvironment(name, slot);  // leaves "" when not set
    return slot.c_str();
}

bool SetEnvironmentValue(const char* name, const char* value)
{
    if (name == nullptr) throw source_utilities_error("failed set an environment variable name to null");
    if (value == nullptr) throw source_utilities_error("failed set an environment variable value to null");
    return k4xplatform::SetEnvironment(name, value);
}

const char* GetWorkingDirectory(std::string& out)
{
    char buffer[kWorkingDirectorySize];
    if (!k4xplatform::WorkingDirectory(buffer, sizeof buffer)) {
        throw source_utilities_error("failed to get current working directory");
    }
    out = buffer;
    return out.c_str();
}

const char* GetTraceDirectory(std::string& out)
{
    const std::string profile = k4xplatform::ProfileDirectory();
    if (profile.empty()) throw source_utilities_error("failed to read environment variable \"USERPROFILE\"");
    out = profile;
    AppendPathComponent(out, ".ZR-trace");
    return out.c_str();
}

const char* GetTraceLoggingDirectory(std::string& out)
{
    GetTraceDirectory(out);
    CreateDirectoryPath(out.c_str());  // an existing directory is the normal case
    return out.c_str();
}

const char* GetTraceDataDirectory(std::string& out) { return TraceSubdirectory(out, kTraceDataFolder); }

const char* GetTraceSettingsDirectory(std::string& out) { return TraceSubdirectory(out, kTraceSettingsFolder); }

int CreateDirectoryPath(const char* path)
{
    if (path == nullptr) return -1;
    // Where the whole path exists, so does every level of it, and each
    // level's creation would fail: one query answers for all of them.
    if (!EndsInDrive(path) && k4xplatform::PathExists(path)) return -1;
    const char separator[] = {k4xplatform::kPathSeparator, '\0'};
    std::string rest(path);
    std::string component;
    std::string accumulated;
    int result = 0;
    // A leading separator gives an empty first component, so an absolute
    // path accumulates from the root.
    while (uString::Split(rest.c_str(), component, rest, separator) != 0) {
        accumulated += component;
        accumulated += k4xplatform::kPathSeparator;
        if (!component.empty() && component.back() == ':') continue;  // a drive, such as C:
        result = k4xplatform::SystemCalls().makeDirectory(accumulated.c_str()) ? 0 : -1;
    }
    return result;
}

void AppendPathComponent(std::string& path, const char* name)
{
    if (!path.empty() && path.back() != k4xplatform::kPathSeparator) path += k4xplatform::kPathSeparator;
    if (name != nullptr) path += name;
    NormalizePath(path);
}

void NormalizePath(std::string& path)
{
    constexpr char kOther = k4xplatform::kPathSeparator == '\\' ? '/' : '\\';
    const char other[] = {kOther, '\0'};
    const char single[] = {k4xplatform::kPathSeparator, '\0'};
    const char doubled[] = {k4xplatform::kPathSeparator, k4xplatform::kPathSeparator, '\0'};
    uString::ReplaceAll(path, other, single);
    // One pass skips the byte behind each fold, so repeat until stable.
    for (std::string before; before != path;) {
        before = path;
        uString::ReplaceAll(path, doubled, single);
    }
}

}  // namespace ZR_KDT
