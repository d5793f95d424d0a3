// The host's answer when the library asks for a CPU's output file: taken
// from the command line (--answer [CPU=]PATH), or typed by the user when
// standard input is a terminal. Never blocks a script: without a terminal
// and without an answer it answers nothing.
#pragma once

#include "DeviceConfigManager.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace k4xtrace {

class PromptCallback final : public Zr::Kdt::Trace::CHostCallback {
public:
    PromptCallback(std::vector<std::string> answers, std::FILE* input, bool interactive);

    // prompt is "Application for " and the CPU name.
    bool Query(const std::string& prompt, int32_t value, std::string& answer) override;

    // Whether the library asked about this CPU, and whether it got a path.
    bool Asked(const std::string& cpu) const { return m_asked.count(cpu) != 0; }
    bool Answered(const std::string& cpu) const { return m_answered.count(cpu) != 0; }

private:
    std::string FromOptions(const std::string& cpu) const;
    std::string FromTerminal(const std::string& prompt) const;

    std::vector<std::string> m_answers;
    std::FILE* m_input;
    bool m_interactive;
    std::set<std::string> m_asked;
    std::set<std::string> m_answered;
};

}  // namespace k4xtrace
