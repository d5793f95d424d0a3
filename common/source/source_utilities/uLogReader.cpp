#include "uLogReader.h"

#include "uLogFormat.h"

namespace ZR_KDT {

namespace {

constexpr std::size_t kNoMatch = std::string_view::npos;

bool Digits(std::string_view line, std::size_t at, std::size_t count)
{
    if (at > line.size() || count > line.size() - at) return false;
    for (std::size_t i = at; i < at + count; ++i) {
        if (line[i] < '0' || line[i] > '9') return false;
    }
    return true;
}

int Number(std::string_view line, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (line[i] - '0');
    return value;
}

// The part of a stamp that pattern (strftime text of uLogFormat.h) writes,
// at line[at]: two digits for each conversion, every other character as it
// stands. Adds the hours, minutes and seconds it reads to time, in
// milliseconds. The position behind it, or kNoMatch.
std::size_t MatchPattern(std::string_view line, std::size_t at, const char* pattern, int32_t& time)
{
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (*p != '%') {
            if (at >= line.size() || line[at] != *p) return kNoMatch;
            ++at;
            continue;
        }
        if (!Digits(line, at, 2)) return kNoMatch;
        const int32_t value = Number(line, at, 2);
        const char conversion = *++p;
        time += conversion == 'H'   ? value * 3600000
                : conversion == 'M' ? value * 60000
                : conversion == 'S' ? value * 1000
                                    : 0;
        at += 2;
    }
    return at;
}

// The stamp of the style at the end of the prefix; false when it is not there.
bool ReadStamp(std::string_view line, int style, LogRecord& record)
{
    const LogStampParts parts = LogStampPartsOf(style);
    int32_t time = 0;
    std::size_t at = MatchPattern(line, kLogPrefixLength, parts.seconds, time);
    if (at == kNoMatch) return false;
    if (parts.milliseconds) {
        if (!Digits(line, at, 3)) return false;
        time += Number(line, at, 3);
        at += 3;
    }
    const std::string_view tail(parts.tail);
    if (line.substr(at, tail.size()) != tail) return false;
    record.stampStyle = style;
    record.stamp = std::string(line.substr(kLogPrefixLength, at - kLogPrefixLength));
    record.timeOfDay = std::string_view(parts.seconds).find("%H") != kNoMatch ? time : -1;
    record.message = std::string(line.substr(at + tail.size()));
    return true;
}

}  // namespace

std::string LogCategoryLetters(unsigned categories)
{
    std::string letters;
    for (std::size_t bit = 0; bit < kLogCategoryCount; ++bit) {
        if ((categories & (1u << bit)) != 0) letters += kLogCategoryLetters[bit];
    }
    return letters;
}

bool ReadLogLine(std::string_view line, LogRecord& record)
{
    if (line.size() < kLogPrefixLength || line[kLogPrefixLength - 1] != ' ') return false;
    unsigned categories = 0;
    for (std::size_t bit = 0; bit < kLogCategoryCount; ++bit) {
        if (line[bit] == kLogCategoryLetters[bit]) {
            categories |= 1u << bit;
        } else if (line[bit] != ' ') {
            return false;
        }
    }
    if (categories == 0) return false;
    // The longest stamp first: a line of style 3 begins as one of style 1.
    for (int style = kLastLogStamp; style >= LogStamp_None; --style) {
        if (ReadStamp(line, style, record)) {
            record.categories = categories;
            return true;
        }
    }
    return false;
}

void uLogReader::Feed(std::string_view bytes)
{
    for (std::size_t start = 0;;) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            m_unfinished.append(bytes.substr(start));
            // No line of the logger is this long: what is not a log is
            // read in lines of that length.
            if (m_unfinished.size() >= kLogLineBufferSize) {
                TakeLine(m_unfinished);
                m_unfinished.clear();
            }
            return;
        }
        if (m_unfinished.empty()) {
            TakeLine(bytes.substr(start, end - start));
        } else {
            m_unfinished.append(bytes.substr(start, end - start));
            TakeLine(m_unfinished);
            m_unfinished.clear();
        }
        start = end + 1;
    }
}

void uLogReader::Flush()
{
    if (!m_inHand || !m_unfinished.empty()) return;
    m_inHand = false;
    m_sink(m_record);
}

void uLogReader::End()
{
    if (!m_unfinished.empty()) {
        TakeLine(m_unfinished);
        m_unfinished.clear();
    }
    Flush();
}

void uLogReader::Restart()
{
    End();
    m_lines = 0;
}

void uLogReader::TakeLine(std::string_view line)
{
    ++m_lines;
    // A log written in Windows text mode ends its lines with CR LF.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    LogRecord next;
    // A record is one line of the logger's, at most: a longer one is no
    // record of the format.
    const bool full = m_inHand && m_record.text.size() + line.size() >= kLogLineBufferSize;
    if (ReadLogLine(line, next) || !m_inHand || full) {
        if (m_inHand) m_sink(m_record);
        if (next.stampStyle < 0) next.message = std::string(line);
        next.line = m_lines;
        m_record = std::move(next);
        m_inHand = true;
    } else {
        m_record.message += '\n';
        m_record.message += line;
    }
    m_record.text += line;
    m_record.text += '\n';
}

}  // namespace ZR_KDT
