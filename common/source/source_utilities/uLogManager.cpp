#include "uLogManager.h"

#include <chrono>
#include <cstdarg>
#include <mutex>
#include <new>
#include <set>
#include <string_view>
#include <thread>

#include "Platform.h"
#include "TraceVariables.h"
#include "uEnvironment.h"

namespace ZR_KDT {

namespace {

// Serialises set-ups and releases; in the system set-ups run in manager
// constructors.
std::mutex g_initializeLock;

// Log calls that may be using the current logger right now. Release waits
// for it to reach 0 before it frees a logger.
std::atomic<int32_t> g_writers{0};

// Counts the calling log call as a writer for its life.
class WriterScope {
public:
    WriterScope() { g_writers.fetch_add(1); }
    ~WriterScope() { g_writers.fetch_sub(1); }
    WriterScope(const WriterScope&) = delete;
    WriterScope& operator=(const WriterScope&) = delete;
};

// The value of directoryVariable; empty for a null name.
std::string ReadDirectory(const char* directoryVariable)
{
    return directoryVariable != nullptr ? std::string(GetEnvironmentValue(directoryVariable)) : std::string();
}

bool EnoughFreeSpace(const std::string& directory)
{
    uint64_t available = 0;
    return k4xplatform::SystemCalls().freeDiskSpace(directory.empty() ? nullptr : directory.c_str(), available) &&
           available >= uLogManager::kMinimumFreeBytes;
}

}  // namespace

uLogManager::uLogManager() : m_pLogger(nullptr), m_nLevel(0), m_bReuseByName(false) {}

uLogManager& uLogManager::Instance()
{
    // Never destroyed: components may log from other static destructors.
    // Static storage, not the heap: nothing of the manager is left behind
    // when the module that holds it is unloaded.
    alignas(uLogManager) static unsigned char storage[sizeof(uLogManager)];
    static uLogManager* const manager = new (storage) uLogManager();
    return *manager;
}

bool uLogManager::Initialize(const char* fileName, const char* levelVariable, const char* directoryVariable,
                             bool reuseByName)
{
    if (fileName == nullptr || levelVariable == nullptr) return false;
    std::lock_guard<std::mutex> hold(g_initializeLock);
    m_bReuseByName = reuseByName;
    // The current logger stays current until a new one is ready, so that a
    // level set earlier never stands without a logger.
    if (reuseByName) {
        if (uLogger* found = FindLocked(fileName)) {
            // Usually current already: then no store, which would be a
            // locked exchange.
            if (m_pLogger.load(std::memory_order_relaxed) != found) m_pLogger = found;
            return true;
        }
    } else if (m_pLogger != nullptr) {
        return true;
    }

    const std::string directory = ReadDirectory(directoryVariable);
    const std::string path = LogFilePath(directory, fileName);
    if (!EnoughFreeSpace(directory)) return false;
    // Usually exists already: the failure is of no interest.
    if (!directory.empty()) k4xplatform::SystemCalls().makeDirectory(directory.c_str());

    uLogger* logger = new uLogger(path.c_str(), true);
    const int32_t level = ApplyLevel(*logger, LogLevelOf(GetEnvironmentValue(levelVariable)));
    m_pLogger = logger;
    m_nLevel = level;
    if (m_bReuseByName) {
        m_loggers[fileName] = logger;
    } else {
        m_unnamedLoggers.push_back(logger);
    }

    std::string settings;
    std::string data;
    logger->Log(LogCategory_Message, LogStamp_Time, "Logger : trace user settings directory is %s",
                GetTraceSettingsDirectory(settings));
    logger->Log(LogCategory_Message, LogStamp_Time, "Logger : trace temporary data directory is %s",
                GetTraceDataDirectory(data));
    return true;
}

uLogger* uLogManager::Find(const char* fileName)
{
    std::lock_guard<std::mutex> hold(g_initializeLock);
    return FindLocked(fileName);
}

uLogger* uLogManager::FindLocked(const char* fileName) const
{
    if (fileName == nullptr) return nullptr;
    const auto entry = m_loggers.find(std::string_view(fileName));
    return entry != m_loggers.end() ? entry->second : nullptr;
}

void uLogManager::Release(std::chrono::milliseconds patience)
{
    std::lock_guard<std::mutex> hold(g_initializeLock);
    // Level first: callers test it before they touch the logger.
    m_nLevel = 0;
    std::set<uLogger*> loggers{m_pLogger.exchange(nullptr)};
    loggers.erase(nullptr);
    for (const auto& entry : m_loggers) loggers.insert(entry.second);
    loggers.insert(m_unnamedLoggers.begin(), m_unnamedLoggers.end());
    m_loggers.clear();
    m_unnamedLoggers.clear();
    // A log call that counted itself in before the exchange may still hold
    // the old logger; one that counts itself in later finds none. The wait
    // is bounded: at an unload it holds the loader lock, for which every
    // library load in the process waits.
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (g_writers.load() != 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            m_unnamedLoggers.assign(loggers.begin(), loggers.end());
            return;
        }
        std::this_thread::yield();
    }
    for (uLogger* logger : loggers) delete logger;
}

// Turns the value of the level variable into destinations for a fresh
// logger (enabled until a level that writes no log turns it off), and
// returns the level that components compare their thresholds with.
int32_t uLogManager::ApplyLevel(uLogger& logger, int32_t value)
{
    if (!LogLevelWritesLog(value)) {
        logger.SetEnabled(false);
        return value;
    }
    const LogDestinations chosen = LogDestinationsOf(value);
    logger.m_bEchoToConsole = chosen.console;
    logger.m_bEchoToDebugger = chosen.debugger;
    return chosen.threshold;
}

namespace {

void LogAtLevelV(int32_t threshold, unsigned categories, int stampStyle, const char* format, va_list args)
{
    uLogManager& log = uLogManager::Instance();
    if (log.m_nLevel.load(std::memory_order_relaxed) < threshold) return;
    const WriterScope writing;
    if (uLogger* logger = log.m_pLogger.load()) logger->LogV(categories, stampStyle, format, args);
}

}  // namespace

void LogAtLevel(int32_t threshold, unsigned categories, int stampStyle, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    LogAtLevelV(threshold, categories, stampStyle, format, args);
    va_end(args);
}

void LogProgress(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    LogAtLevelV(1, LogCategory_Message, LogStamp_Time, format, args);
    va_end(args);
}

void LogFailure(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    LogAtLevelV(1, LogCategory_Error, LogStamp_Time, format, args);
    va_end(args);
}

}  // namespace ZR_KDT
