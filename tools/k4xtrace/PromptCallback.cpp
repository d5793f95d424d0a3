#include "PromptCallback.h"

#include <string_view>
#include <utility>

namespace k4xtrace {

namespace {

constexpr std::string_view kPromptStart = "Application for ";

}  // namespace

PromptCallback::PromptCallback(std::vector<std::string> answers, std::FILE* input, bool interactive)
    : m_answers(std::move(answers)), m_input(input), m_interactive(interactive)
{
}

bool PromptCallback::Query(const std::string& prompt, int32_t /*value*/, std::string& answer)
{
    const bool named = prompt.compare(0, kPromptStart.size(), kPromptStart) == 0;
    const std::string cpu = named ? prompt.substr(kPromptStart.size()) : prompt;
    m_asked.insert(cpu);
    answer = FromOptions(cpu);
    if (answer.empty() && m_interactive) answer = FromTerminal(prompt);
    if (answer.empty() && !m_interactive) {
        std::fprintf(stderr, "k4xtrace: the library asks \"%s\"; no answer (--answer %s=PATH gives one)\n",
                     prompt.c_str(), cpu.c_str());
    }
    if (!answer.empty()) m_answered.insert(cpu);
    return !answer.empty();
}

// The answer for this CPU by name, else the last answer without a name.
std::string PromptCallback::FromOptions(const std::string& cpu) const
{
    std::string general;
    for (const std::string& entry : m_answers) {
        const size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            general = entry;
        } else if (entry.compare(0, equals, cpu) == 0 && equals == cpu.size()) {
            return entry.substr(equals + 1);
        }
    }
    return general;
}

std::string PromptCallback::FromTerminal(const std::string& prompt) const
{
    std::fprintf(stderr, "%s (path of its output file, empty for none): ", prompt.c_str());
    std::fflush(stderr);
    std::string line;
    for (int c = std::fgetc(m_input); c != EOF && c != '\n'; c = std::fgetc(m_input)) line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace k4xtrace
