#include "SimTargetParser.h"

#include <set>

namespace k4xsim {

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ToNumber(const std::string& text, uint64_t limit, uint64_t& number)
{
    if (text.empty() || text.size() > 10) return false;
    number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    return number <= limit;
}

namespace {

enum Section { Section_None, Section_Cpus, Section_TwpSource, Section_Faults };

class Parser {
public:
    explicit Parser(SimTarget& target) : m_target(target) {}

    bool Line(const std::string& line, std::string& error)
    {
        const std::string text = Trim(line);
        if (text.empty() || text[0] == '#' || text[0] == ';') return true;
        if (text[0] == '[') return Header(text, error);
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos) return Fail(error, "expected \"name = value\" or [section]");
        const std::string key = Trim(text.substr(0, equals));
        if (key.empty()) return Fail(error, "empty name before '='");
        if (m_section == Section_None) return Fail(error, "\"" + key + "\" stands before any [section]");
        if (!m_seen.insert(key).second) return Fail(error, "\"" + key + "\" given twice in one section");
        return Entry(key, Trim(text.substr(equals + 1)), error);
    }

private:
    static bool Fail(std::string& error, const std::string& what)
    {
        error = what;
        return false;
    }

    bool Header(const std::string& text, std::string& error)
    {
        if (text.back() != ']') return Fail(error, "section header without ']'");
        const std::string name = Trim(text.substr(1, text.size() - 2));
        if (!m_sections.insert(name).second) return Fail(error, "section [" + name + "] given twice");
        m_seen.clear();
        if (name == "cpus") {
            m_section = Section_Cpus;
            m_target.cpus.clear();
        } else if (name == "twp-source") {
            m_section = Section_TwpSource;
        } else if (name == "faults") {
            m_section = Section_Faults;
        } else {
            return Fail(error, "unknown section [" + name + "]");
        }
        return true;
    }

    bool Entry(const std::string& key, const std::string& value, std::string& error)
    {
        if (m_section == Section_Cpus) {
            m_target.cpus.push_back({key, value});
            return true;
        }
        if (m_section == Section_Faults) return ParseFault(key, value, m_target.faults, error);
        if (key == "text") {
            m_target.twpText = value;
            return true;
        }
        uint64_t status = 0;
        if (key != "status") return Fail(error, "unknown key \"" + key + "\" in [twp-source]");
        if (!ToNumber(value, UINT32_MAX, status)) return Fail(error, "status \"" + value + "\" is not 0 to 4294967295");
        m_target.twpStatus = static_cast<uint32_t>(status);
        return true;
    }

    SimTarget& m_target;
    Section m_section = Section_None;
    std::set<std::string> m_sections;
    std::set<std::string> m_seen;  // keys of the current section
};

}  // namespace

bool ParseTarget(const std::string& text, SimTarget& target, std::string& error)
{
    Parser parser(target);
    std::size_t number = 1;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!parser.Line(line, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace k4xsim
