// Reads a trace log back into its records, by the line format of
// uLogFormat.h: each record's categories, stamp and message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ZR_KDT {

struct LogRecord {
    std::size_t line = 0;     // where it starts in the log, from 1
    unsigned categories = 0;  // the bits whose letters its prefix shows
    int stampStyle = -1;      // -1: a line that starts no record of the format
    std::string stamp;        // as written, without its tail: "14:03:07:045"
    int32_t timeOfDay = -1;   // milliseconds since midnight; -1: the stamp holds no time
    std::string message;      // without the line end; line feeds of a message of several lines kept
    std::string text;         // the record's lines as written, each with a line feed
};

// The letters of the category bits that are set: 17 => "ME".
std::string LogCategoryLetters(unsigned categories);

// The start of a record in one line of a log (its line end removed):
// "E     14:03:07:045 | failed" => categories 16, style 2, stamp
// "14:03:07:045", time 50587045, message "failed". False for a line that
// starts no record (a message's next line): a prefix without a letter, or
// a stamp that fits no style.
bool ReadLogLine(std::string_view line, LogRecord& record);

// Assembles the records of a log from its bytes, which may come in pieces,
// as a growing log gives them. A record is handed on when the line that
// starts the next one has come, or at Flush or End. Lines before the first
// record, and lines that would make a record longer than the logger's
// line, start a record with style -1. What it holds is bounded by that
// length.
class uLogReader {
public:
    using Sink = std::function<void(const LogRecord&)>;

    explicit uLogReader(Sink sink) : m_sink(std::move(sink)) {}

    // The next bytes of the log.
    void Feed(std::string_view bytes);
    // Hands on the record in hand, unless the log's last line is unfinished.
    void Flush();
    // Hands on everything, an unfinished last line included.
    void End();
    // Hands on everything, and reads the next bytes as a new log's first.
    void Restart();

private:
    void TakeLine(std::string_view line);

    Sink m_sink;
    std::string m_unfinished;  // the bytes of a line whose line feed has not come
    LogRecord m_record;
    bool m_inHand = false;
    std::size_t m_lines = 0;
};

}  // namespace ZR_KDT
