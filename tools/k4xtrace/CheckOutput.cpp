#include "CheckOutput.h"

#include "PropertyText.h"

#include <cstdio>

namespace k4xtrace {

void PrintCheckText(const CheckedFile& file)
{
    for (const ConfigProblem& problem : file.check.problems) {
        const std::string where = problem.line == 0 ? "" : std::to_string(problem.line) + ":";
        std::printf("%s:%s %s\n", file.path.c_str(), where.c_str(), problem.message.c_str());
    }
    if (file.check.problems.empty()) std::printf("%s: clean\n", file.path.c_str());
}

void PrintCheckJson(const CheckedFile& file, bool first)
{
    std::printf("%s\n  {\"file\": %s, \"form\": \"%s\", \"problems\": [", first ? "" : ",",
                JsonString(file.path).c_str(), file.form.c_str());
    const char* separator = "";
    for (const ConfigProblem& problem : file.check.problems) {
        std::printf("%s\n    {\"line\": %zu, \"kind\": \"%s\", \"message\": %s, \"suggestion\": %s}", separator,
                    problem.line, problem.kind.c_str(), JsonString(problem.message).c_str(),
                    JsonString(problem.suggestion).c_str());
        separator = ",";
    }
    std::printf("], \"values\": {");
    separator = "";
    for (const auto& [name, value] : file.check.values) {
        std::printf("%s%s: %s", separator, JsonString(name).c_str(), value.c_str());
        separator = ", ";
    }
    std::printf("}}");
}

}  // namespace k4xtrace
