// The command line: global options, the subcommand and its own options.
// Options may stand before or after the subcommand; "--" ends them, and
// "--name=value" is the same as "--name value".
#pragma once

#include <map>
#include <string>
#include <vector>

namespace k4xtrace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

class Session;
struct Invocation;

struct OptionSpec {
    const char* name;   // with the leading "--"
    const char* value;  // the value's placeholder, or null for a flag
    const char* help;
};

struct CommandSpec {
    const char* name;
    const char* arguments;
    const char* summary;
    const char* description;
    std::vector<OptionSpec> options;
    size_t minArguments;
    size_t maxArguments;  // SIZE_MAX: no limit
    int (*run)(Session& session, const Invocation& invocation);
    // False for a command that runs without the library and without a
    // profile directory, and reports what is missing itself.
    bool needsLibrary = true;
};

struct GlobalOptions {
    std::string library;
    std::string profile;
    std::string logLevel;
    std::string live;
};

struct Invocation {
    GlobalOptions global;
    const CommandSpec* command = nullptr;
    bool version = false;  // --version: no command runs
    std::vector<std::string> arguments;
    std::multimap<std::string, std::string> options;

    bool Has(const std::string& name) const { return options.count(name) != 0; }
    // The last value given for the option, or "".
    std::string Value(const std::string& name) const;
    std::vector<std::string> Values(const std::string& name) const;
};

// The options that every command takes, in the order --help lists them.
std::vector<OptionSpec> GlobalOptionSpecs();

// Fills invocation from argv. When the line asks for help or is wrong, the
// text is printed and exit receives the status to end with; otherwise exit
// is left alone and the result is true (with invocation.version set and no
// command for --version, which needs the library).
bool ParseCommandLine(int argc, char** argv, const std::vector<CommandSpec>& commands, Invocation& invocation,
                      int& exit);

// "usage: ..." and the command's options, on stderr, for a usage error
// found after parsing; returns kExitUsage.
int UsageError(const CommandSpec& command, const std::string& message);

}  // namespace k4xtrace
