// log: the records of a trace log, split by the logger's own line format,
// filtered, and followed while the log grows.
#include "Commands.h"
#include "HostPlatform.h"
#include "Platform.h"
#include "PropertyText.h"
#include "TraceEnvironment.h"
#include "TraceVariables.h"
#include "uEnvironment.h"
#include "uLogFollower.h"
#include "uLogFormat.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

namespace k4xtrace {

namespace {

using ZR_KDT::LogRecord;

constexpr int32_t kDay = 24 * 3600 * 1000;

struct LogFilter {
    unsigned categories = 0;  // any of these bits; 0: every record
    int32_t since = -1;       // milliseconds since midnight; -1: any time
    std::string text;         // in the message; "": any
};

// "E" or "me": the category bits of the letters; false for another letter.
bool ParseLetters(const std::string& letters, unsigned& categories)
{
    for (const char letter : letters) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
        const char* at = upper != '\0' ? std::strchr(ZR_KDT::kLogCategoryLetters, upper) : nullptr;
        if (at == nullptr) return false;
        categories |= 1u << (at - ZR_KDT::kLogCategoryLetters);
    }
    return !letters.empty();
}

// "14:03", "14:03:07" or "14:03:07:045" (the stamps' own form):
// milliseconds since midnight.
bool ParseTimeOfDay(const std::string& text, int32_t& time)
{
    const int32_t limits[] = {24, 60, 60, 1000}, units[] = {3600000, 60000, 1000, 1};
    std::size_t field = 0, start = 0;
    time = 0;
    for (; field < 4 && start <= text.size(); ++field) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        const std::string digits = text.substr(start, end - start);
        if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const int32_t value = std::stoi(digits);
        if (value >= limits[field]) return false;
        time += value * units[field];
        start = end + 1;
    }
    return field >= 2 && start > text.size();
}

// Prints the records that pass the filter. A record whose stamp holds no
// time has the time of the record before it; a time that runs back by
// more than half a day is on the next day.
class Printer {
public:
    Printer(const LogFilter& filter, bool json) : m_filter(filter), m_json(json) {}

    void Take(const LogRecord& record)
    {
        if (record.timeOfDay >= 0) {
            int64_t time = m_days * int64_t{kDay} + record.timeOfDay;
            if (m_time >= 0 && time + kDay / 2 < m_time) ++m_days, time += kDay;
            m_time = time;
        }
        if (Passes(record)) m_json ? PrintJson(record) : static_cast<void>(std::fputs(record.text.c_str(), stdout));
    }

private:
    bool Passes(const LogRecord& record) const
    {
        return (m_filter.categories == 0 || (record.categories & m_filter.categories) != 0) &&
               (m_filter.since < 0 || (m_time >= 0 && m_time >= m_filter.since)) &&
               record.message.find(m_filter.text) != std::string::npos;
    }

    static void PrintJson(const LogRecord& record)
    {
        std::printf("{\"line\": %zu, \"categories\": \"%s\", \"stamp\": %s, \"message\": %s}\n", record.line,
                    ZR_KDT::LogCategoryLetters(record.categories).c_str(), JsonString(record.stamp).c_str(),
                    JsonString(record.message).c_str());
    }

    const LogFilter& m_filter;
    const bool m_json;
    int64_t m_time = -1;  // of the latest stamp with a time, from midnight of the first
    int64_t m_days = 0;
};

// The newest trace log in the trace folder; "" with the reason in error.
std::string NewestLog(std::string& error)
{
    if (k4xplatform::ProfileDirectory().empty()) {
        error = "no profile directory, so no trace folder: --profile DIR names one, or name the log FILE";
        return std::string();
    }
    std::string folder;
    ZR_KDT::GetTraceDirectory(folder);
    std::vector<std::string> names;
    k4xplatform::SystemCalls().listDirectory(folder.c_str(), names);
    std::string newest;
    int64_t newestTime = 0;
    for (const std::string& name : names) {
        std::string path = folder;
        path += k4xplatform::kPathSeparator;
        path += name;
        int64_t time = 0;
        if (!ZR_KDT::IsLogFileName(name) || !k4xplatform::LastWriteTime(path.c_str(), time)) continue;
        if (newest.empty() || time > newestTime) newest = path, newestTime = time;
    }
    if (newest.empty())
        error = "no trace log in " + folder + ": " + ZR_KDT::kLoggingVariable + "=1 (or --log-level 1) logs a run";
    return newest;
}

// Up to count bytes of the file from offset on; the file's length, or -1.
long long ReadFrom(const std::string& path, uint64_t offset, uint64_t count, std::string& bytes)
{
    uint64_t size = 0;
    if (!k4xplatform::FileSize(path.c_str(), size)) return -1;
    if (size <= offset) return static_cast<long long>(size);
    const k4xplatform::File file = k4xplatform::SystemCalls().open(path.c_str(), "rb");
    if (!k4xplatform::IsOpen(file)) return -1;
    bytes.resize(static_cast<std::size_t>(std::min(count, size - offset)));
    const long long got = k4xplatform::SystemCalls().readAt(file, offset, &bytes[0], bytes.size());
    k4xplatform::SystemCalls().close(file);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return got < 0 ? -1 : static_cast<long long>(size);
}

volatile std::sig_atomic_t g_stopped = 0;

void Stop(int) { g_stopped = 1; }

// Half a second between looks at the log, cut short by an interrupt.
bool WaitForMore()
{
    std::fflush(stdout);
    for (int i = 0; i < 10 && g_stopped == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return g_stopped == 0;
}

}  // namespace

int LogCommand(Session&, const Invocation& invocation)
{
    LogFilter filter;
    if (invocation.Has("--level") && !ParseLetters(invocation.Value("--level"), filter.categories))
        return UsageError(*invocation.command, "--level takes letters out of M, W, F, A and E");
    if (invocation.Has("--since") && !ParseTimeOfDay(invocation.Value("--since"), filter.since))
        return UsageError(*invocation.command, "--since takes a time of day: HH:MM, HH:MM:SS or HH:MM:SS:mmm");
    filter.text = invocation.Value("--grep");
    std::string error;
    const std::string path = invocation.arguments.empty() ? NewestLog(error) : invocation.arguments[0];
    if (path.empty()) return std::fprintf(stderr, "k4xtrace: %s\n", error.c_str()), kExitFailed;
    if (!k4xplatform::OpensForReading(path.c_str()))
        return std::fprintf(stderr, "k4xtrace: cannot read the trace log %s\n", path.c_str()), kExitFailed;
    if (invocation.arguments.empty()) std::fprintf(stderr, "k4xtrace: trace log: %s\n", path.c_str());

    Printer printer(filter, invocation.Has("--json"));
    ZR_KDT::uLogReader reader([&printer](const LogRecord& record) { printer.Take(record); });
    ZR_KDT::uLogFollower follower(reader, [&path](uint64_t offset, uint64_t count, std::string& bytes) {
        return ReadFrom(path, offset, count, bytes);
    });
    if (!invocation.Has("--follow")) {
        follower.Follow([] { return false; });
        return kExitSuccess;
    }
    // An interrupt ends the following, with every record read printed.
    std::signal(SIGINT, Stop);
    std::signal(SIGTERM, Stop);
    follower.Follow(WaitForMore);
    return kExitSuccess;
}

}  // namespace k4xtrace
