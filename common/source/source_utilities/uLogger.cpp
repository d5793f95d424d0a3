#include "uLogger.h"

#include <cstdio>
#include <cstring>

#include "Platform.h"
#include "uTime.h"

namespace ZR_KDT {

namespace {

bool SameSecond(const k4xplatform::LocalTime& left, const k4xplatform::LocalTime& right)
{
    return left.second == right.second && left.minute == right.minute && left.hour == right.hour &&
           left.day == right.day && left.month == right.month && left.year == right.year &&
           left.dayOfWeek == right.dayOfWeek;
}

// "%03d" of a millisecond count, 0 to 999.
void WriteMilliseconds(char* at, int milliseconds)
{
    const unsigned value = static_cast<unsigned>(milliseconds) % 1000;
    at[0] = static_cast<char>('0' + value / 100);
    at[1] = static_cast<char>('0' + value / 10 % 10);
    at[2] = static_cast<char>('0' + value % 10);
}

void WritePrefix(char* buffer, unsigned categories)
{
    for (std::size_t bit = 0; bit < kLogCategoryCount; ++bit) {
        buffer[bit] = (categories & (1u << bit)) != 0 ? kLogCategoryLetters[bit] : ' ';
    }
    buffer[kLogPrefixLength - 1] = ' ';
    buffer[kLogPrefixLength] = '\0';
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
      m_nBufferSize(kLogLineBufferSize),
      m_pBuffer(new char[kLogLineBufferSize]),
      m_nStampStyle(-1),
      m_stampSecond{},
      m_stamp{},
      m_nStampLength(0),
      m_bStampMilliseconds(false),
      m_nStampMilliseconds(0)
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
    WriteLineLocked(m_pBuffer.get(), static_cast<unsigned>(length));
}

// Prefix, stamp and message, each written behind the one before. The message
// gets what is left of the buffer less one byte, so that the line feed and
// the NUL always fit behind it: a longer message is cut there.
std::size_t uLogger::FormatLine(unsigned categories, int stampStyle, const char* format, va_list args)
{
    char* const buffer = m_pBuffer.get();
    WritePrefix(buffer, categories);
    const std::size_t used = kLogPrefixLength + WriteStamp(buffer + kLogPrefixLength, stampStyle);
    const std::size_t room = m_nBufferSize - 1 - used;
    if (format == nullptr) return used;
    std::vsnprintf(buffer + used, room, format, args);
    // Some runtimes leave a cut text unterminated.
    buffer[used + room - 1] = '\0';
    return used + std::strlen(buffer + used);
}

// The stamp of the style for the time of a fresh uTime, NUL-terminated;
// returns its length. Only a new second or style goes through strftime;
// within the second a line copies the kept stamp and writes its
// milliseconds into it.
std::size_t uLogger::WriteStamp(char* out, int stampStyle)
{
    // One read of the shared record: another thread's uTime may change it
    // at any moment, and the stamp must be of one time.
    const k4xplatform::LocalTime time = uTime().GetRecord();
    if (stampStyle != m_nStampStyle || !SameSecond(time, m_stampSecond)) {
        KeepStamp(time, stampStyle);
        m_nStampStyle = stampStyle;
        m_stampSecond = time;
    }
    std::memcpy(out, m_stamp, sizeof m_stamp);
    if (m_bStampMilliseconds) WriteMilliseconds(out + m_nStampMilliseconds, time.milliseconds);
    return m_nStampLength;
}

// The stamp of the style for the second of time, with room for its
// milliseconds.
void uLogger::KeepStamp(const k4xplatform::LocalTime& time, int stampStyle)
{
    const LogStampParts parts = LogStampPartsOf(stampStyle);
    // Room behind the head for three digits, the tail and the NUL.
    char head[sizeof m_stamp - 7] = "";
    if (*parts.seconds != '\0') uTime::Format(time, head, sizeof head, parts.seconds);
    std::memset(m_stamp, 0, sizeof m_stamp);
    std::size_t length = std::strlen(head);
    std::memcpy(m_stamp, head, length);
    m_bStampMilliseconds = parts.milliseconds;
    m_nStampMilliseconds = length;
    if (parts.milliseconds) length += 3;
    const std::size_t tailLength = std::strlen(parts.tail);
    std::memcpy(m_stamp + length, parts.tail, tailLength);
    m_nStampLength = length + tailLength;
}

int uLogger::WriteLine(char* line, unsigned length)
{
    if (line == nullptr) return 0;
    uMutex::Hold hold(m_lock);
    return WriteLineLocked(line, length);
}

int uLogger::WriteLineLocked(char* line, unsigned length)
{
    std::size_t size = length != 0 ? length : std::strlen(line);
    if (!m_bEnabled) return static_cast<int>(size);
    if (!m_bFileOpen) m_bFileOpen = m_file.Open(m_sPath.c_str(), m_bAppend ? "a+" : "w+");
    size = EndLine(line, size);
    // Failures to write or flush the log are not reported: a log has nobody
    // to tell.
    m_file.WriteAndFlush(line, size);
    if (m_bEchoToConsole) {
        std::printf("%s", line);
        std::fflush(stdout);
    }
    if (m_bEchoToDebugger) k4xplatform::SystemCalls().debugOutput(line);
    return static_cast<int>(size);
}

}  // namespace ZR_KDT
