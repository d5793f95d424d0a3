#include "ToolDocuments.h"

#include "CommandLine.h"
#include "Commands.h"
#include "K4xProperty.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace k4xtrace {

namespace {

// Roff text: backslashes and minus signs escaped, and a line that would
// begin with a control character guarded.
std::string Roff(const std::string& text)
{
    std::string roff;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) roff += "\\&";
        roff += c == '\\' ? "\\e" : c == '-' ? "\\-" : std::string(1, c);
        lineStart = c == '\n';
    }
    return roff;
}

// "--to STORE", or "--json" for a flag.
std::string OptionHead(const OptionSpec& option)
{
    return std::string(option.name) + (option.value != nullptr ? std::string(" ") + option.value : "");
}

// Each option once: the global ones, then the commands' in table order.
std::vector<OptionSpec> AllOptions()
{
    std::vector<OptionSpec> all = GlobalOptionSpecs();
    for (const CommandSpec& command : Commands()) {
        for (const OptionSpec& option : command.options) {
            const auto same = [&](const OptionSpec& known) { return std::string(known.name) == option.name; };
            if (std::none_of(all.begin(), all.end(), same)) all.push_back(option);
        }
    }
    return all;
}

void PrintManCommands()
{
    for (const CommandSpec& command : Commands()) {
        std::string synopsis = command.arguments;
        for (const OptionSpec& option : command.options) synopsis += " [" + OptionHead(option) + "]";
        std::printf(".TP\n.BR %s \" %s\"\n%s\n", command.name, Roff(synopsis).c_str(),
                    Roff(command.description).c_str());
        if (command.options.empty()) continue;
        std::printf(".RS\n");
        for (const OptionSpec& option : command.options)
            std::printf(".TP\n.B %s\n%s\n", Roff(OptionHead(option)).c_str(), Roff(option.help).c_str());
        std::printf(".RE\n");
    }
}

void PrintManOptions()
{
    for (const OptionSpec& option : GlobalOptionSpecs()) {
        if (option.value != nullptr) {
            std::printf(".TP\n.BI %s \" %s\"\n", Roff(option.name).c_str(), Roff(option.value).c_str());
        } else {
            std::printf(".TP\n.B %s\n", Roff(option.name).c_str());
        }
        std::printf("%s\n", Roff(option.help).c_str());
    }
}

void PrintNames(const std::vector<std::string>& names, const char* separator)
{
    for (size_t i = 0; i < names.size(); ++i) std::printf("%s%s", i == 0 ? "" : separator, names[i].c_str());
    std::printf("\n");
}

void PrintCommands()
{
    std::vector<std::string> names;
    for (const CommandSpec& command : Commands()) names.push_back(command.name);
    PrintNames(names, " ");
}

void PrintOptions(bool valuesOnly)
{
    std::vector<std::string> names;
    for (const OptionSpec& option : AllOptions()) {
        if (!valuesOnly || option.value != nullptr) names.push_back(option.name);
    }
    PrintNames(names, valuesOnly ? "|" : " ");
}

// Every property name, each in double quotes, for a shell's word list.
void PrintProperties()
{
    std::vector<std::string> names;
    for (const k4xformat::Property& property : k4xformat::AllProperties()) {
        names.push_back("\"" + std::string(property.name) + "\"");
    }
    PrintNames(names, " ");
}

}  // namespace

int PrintDocumentPart(const std::string& part)
{
    if (part == "man-commands") {
        PrintManCommands();
    } else if (part == "man-options") {
        PrintManOptions();
    } else if (part == "commands") {
        PrintCommands();
    } else if (part == "options" || part == "value-options") {
        PrintOptions(part == "value-options");
    } else if (part == "properties") {
        PrintProperties();
    } else {
        std::fprintf(stderr, "k4xtrace: %s: unknown part %s\n", kDocumentPartOption, part.c_str());
        return kExitUsage;
    }
    return kExitSuccess;
}

}  // namespace k4xtrace
