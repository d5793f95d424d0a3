#include "uLogger.h"

#include <cstdio>
#include <cstring>

#include "Platform.h"
#include "uSystemCalls.h"
#include "uTime.h"

namespace ZR_KDT {

namespace {

constexpr uint32_t kLineBufferSize = 4096;
constexpr std::size_t kPrefixLength = 6;

const char* StampPattern(int stampStyle)
{
    switch (stampStyle) {
    case LogStamp_Date:
        return "%m/%d/%y | ";
    case LogStamp_Time:
        return "%H:%M:%S:%s | ";
    case LogStamp_DateTime:
        return "%m/%d/%y %H:%M:%S:%s | ";
    default:
        return " ";
    }
}

void WritePrefix(char* buffer, unsigned categories)
{
    static const char kLetters[] = "MWFAE";
    for (std::size_t bit = 0; bit < kPrefixLength - 1; ++bit) {
        buffer[bit] = (categories & (1u << bit)) != 0 ? kLetters[bit] : ' ';
    }
    buffer[kPrefixLength - 1] = ' ';
    buffer[kPrefixLength] = '\0';
}

// Drops one line end (LF or CR, with the other member of the pair before
// it) and appends one line feed. Returns the new length.
std::size_t EndLine(char* line, std::size_t length)
{
    if (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) {
        const char last = line[--length];
        const char pair = last == '\n' ? '\r' : '\n';
        if (length > 0 && line[length - 1] == pair) --length;
    }
    line[length++] = '\n';
    line[length] = '\0';
    return length;
}

}  // namespace

uLogger::uLogger(const char* path, bool append)
    : m_file(nullptr, nullptr),
      m_sPath(path != nullptr ? path : ""),
      m_bEnabled(true),
      m_bEchoToConsole(false),
      m_bEchoToDebugger(false),
      m_bAppend(append),
      m_bFileOpen(false),
      m_nBufferSize(kLineBufferSize),
      m_pBuffer(new char[kLineBufferSize])
{
}

uLogger::~uLogger()
{
    m_file.Close();
    m_bFileOpen = false;
}

bool uLogger::SetEnabled(bool on)
{
    uMutex::Hold hold(m_lock);
    const bool previous = m_bEnabled.exchange(on);
    if (!on) {
        m_file.Close();
        m_bFileOpen = false;
    }
    return previous;
}

void uLogger::Log(unsigned categories, int stampStyle, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    LogV(categories, stampStyle, format, args);
    va_end(args);
}

void uLogger::LogV(unsigned categories, int stampStyle, const char* format, va_list args)
{
    if (!m_bEnabled || categories == 0) return;
    uMutex::Hold hold(m_lock);
    const std::size_t length = FormatLine(categories, stampStyle, format, args);
    WriteLine(m_pBuffer.get(), static_cast<unsigned>(length));
}

// Prefix, stamp and message, each written behind the one before. The message
// gets what is left of the buffer less one byte, so that the line feed and
// the NUL always fit behind it: a longer message is cut there.
std::size_t uLogger::FormatLine(unsigned categories, int stampStyle, const char* format, va_list args)
{
    char* const buffer = m_pBuffer.get();
    WritePrefix(buffer, categories);
    uTime now;
    now.Format(buffer + kPrefixLength, static_cast<int>(m_nBufferSize - kPrefixLength), StampPattern(stampStyle));
    const std::size_t used = std::strlen(buffer);
    const std::size_t room = m_nBufferSize - 1 - used;
    if (format != nullptr && room > 0) {
        std::vsnprintf(buffer + used, room, format, args);
        // Some runtimes leave a cut text unterminated.
        buffer[used + room - 1] = '\0';
    }
    return std::strlen(buffer);
}

int uLogger::WriteLine(char* line, unsigned length)
{
    if (line == nullptr) return 0;
    uMutex::Hold hold(m_lock);
    std::size_t size = length != 0 ? length : std::strlen(line);
    if (!m_bEnabled) return static_cast<int>(size);
    if (!m_bFileOpen) m_bFileOpen = m_file.Open(m_sPath.c_str(), m_bAppend ? "a+" : "w+");
    size = EndLine(line, size);
    // Failures to write or flush the log are not reported: a log has nobody
    // to tell.
    m_file.Write(line, size);
    m_file.Flush();
    if (m_bEchoToConsole) {
        std::printf("%s", line);
        std::fflush(stdout);
    }
    if (m_bEchoToDebugger) SystemCalls().debugOutput(line);
    return static_cast<int>(size);
}

}  // namespace ZR_KDT
