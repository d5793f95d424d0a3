#include "CommandLine.h"

#include "TraceVariables.h"

#include <array>
#include <cstdio>

namespace k4xtrace {

namespace {

// The two texts one behind the other, made by the compiler.
template <std::size_t N, std::size_t M>
constexpr std::array<char, N + M - 1> Joined(const char (&head)[N], const char (&tail)[M])
{
    std::array<char, N + M - 1> text{};
    for (std::size_t i = 0; i + 1 < N; ++i) text[i] = head[i];
    for (std::size_t i = 0; i < M; ++i) text[N - 1 + i] = tail[i];
    return text;
}

constexpr auto kLogLevelHelp =
    Joined(ZR_KDT::kLoggingVariable, ": 0 off, 1 to 6 on; 2, 4, 5 and 6 echo the log on stdout");

const OptionSpec kGlobalOptions[] = {
    {"--library", "PATH", "the configuration library to load (default: the one next to k4xtrace or in ../lib)"},
    {"--profile", "DIR", "the profile directory (USERPROFILE); trace files go to DIR/.ZR-trace"},
    {"--log-level", "N", kLogLevelHelp.data()},
    {"--live", "DIR", "a folder put in front of PATH, where the library finds TraceFactory and NAVRO"},
    {"--help", nullptr, "show help (after a command: the command's help)"},
    {"--version", nullptr, "show the version of k4xtrace and of the library file it loads"},
};

const char kStores[] =
    "Stores (where a configuration is kept):\n"
    "  settings     the CPU's settings file, which every new manager loads\n"
    "  text:NAME    a text file in the settings directory (NAME alone does the same)\n"
    "  dcm:NAME     the text file NAME.dcm in the settings directory\n"
    "  tdf:PATH     the AETCONFIG section of a TDF container (PATH.tdf alone does the same)\n";

void PrintOptions(std::FILE* stream, const OptionSpec* begin, const OptionSpec* end)
{
    for (const OptionSpec* option = begin; option != end; ++option) {
        const std::string head = std::string(option->name) + (option->value ? std::string(" ") + option->value : "");
        std::fprintf(stream, "  %-18s %s\n", head.c_str(), option->help);
    }
}

int MainUsage(std::FILE* stream, const std::vector<CommandSpec>& commands)
{
    std::fprintf(stream,
                 "usage: k4xtrace [OPTIONS] COMMAND [ARGUMENTS]\n\n"
                 "Configures trace on a K4x CPU through the K4x trace configuration library,\n"
                 "which it loads at run time as a debugger does.\n\nCommands:\n");
    for (const CommandSpec& command : commands) {
        const std::string head = std::string(command.name) + " " + command.arguments;
        std::fprintf(stream, "  %-28s %s\n", head.c_str(), command.summary);
    }
    std::fprintf(stream, "\nOptions:\n");
    PrintOptions(stream, std::begin(kGlobalOptions), std::end(kGlobalOptions));
    std::fprintf(stream,
                 "\n%s\n'k4xtrace COMMAND --help' tells more about a command.\n"
                 "Exit status: 0 done, 1 the operation failed (reason on stderr), 2 wrong usage.\n",
                 kStores);
    return stream == stdout ? kExitSuccess : kExitUsage;
}

int CommandHelp(const CommandSpec& command)
{
    std::FILE* stream = stdout;
    std::fprintf(stream, "usage: k4xtrace %s [OPTIONS] %s\n\n%s\n", command.name, command.arguments,
                 command.description);
    if (!command.options.empty()) {
        std::fprintf(stream, "\nOptions:\n");
        PrintOptions(stream, command.options.data(), command.options.data() + command.options.size());
    }
    std::fprintf(stream, "\nGlobal options (--library, --profile, --log-level, --live): k4xtrace --help\n");
    return kExitSuccess;
}

const OptionSpec* FindOption(const std::string& name, const OptionSpec* begin, const OptionSpec* end)
{
    for (const OptionSpec* option = begin; option != end; ++option) {
        if (name == option->name) return option;
    }
    return nullptr;
}

// Puts an option's value where it belongs.
void Store(Invocation& invocation, const std::string& name, const std::string& value)
{
    GlobalOptions& global = invocation.global;
    if (name == "--library") {
        global.library = value;
    } else if (name == "--profile") {
        global.profile = value;
    } else if (name == "--log-level") {
        global.logLevel = value;
    } else if (name == "--live") {
        global.live = value;
    } else {
        invocation.options.emplace(name, value);
    }
}

// Walks argv once; state that decides the outcome is kept here.
class Parser {
public:
    Parser(const std::vector<CommandSpec>& commands, Invocation& invocation)
        : m_commands(commands), m_invocation(invocation)
    {
    }

    static constexpr int kRun = -1;

    bool Parse(int argc, char** argv, int& exit);

private:
    int Outcome();
    bool Option(const std::string& argument, int argc, char** argv, int& index);
    bool Word(const std::string& argument);
    int Error(const std::string& message);

    const std::vector<CommandSpec>& m_commands;
    Invocation& m_invocation;
    bool m_help = false;
    bool m_version = false;
    std::string m_error;
};

bool Parser::Parse(int argc, char** argv, int& exit)
{
    bool options = true;
    for (int i = 1; i < argc && m_error.empty(); ++i) {
        const std::string argument = argv[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            Option(argument, argc, argv, i);
        } else {
            Word(argument);
        }
    }
    exit = Outcome();
    return exit == kRun;
}

int Parser::Outcome()
{
    const CommandSpec* command = m_invocation.command;
    if (!m_error.empty()) return Error(m_error);
    if (m_version) {
        m_invocation.version = true;
        return kRun;
    }
    if (m_help) return command ? CommandHelp(*command) : MainUsage(stdout, m_commands);
    if (command == nullptr) return MainUsage(stderr, m_commands);
    const size_t count = m_invocation.arguments.size();
    if (count < command->minArguments) return Error("missing arguments");
    if (count > command->maxArguments) return Error("too many arguments");
    const std::string& level = m_invocation.global.logLevel;
    if (!level.empty() && !(level.size() == 1 && level[0] >= '0' && level[0] <= '6')) {
        return Error("--log-level takes a number from 0 to 6");
    }
    return kRun;
}

bool Parser::Option(const std::string& argument, int argc, char** argv, int& index)
{
    if (argument == "-h" || argument == "--help") return m_help = true;
    if (argument == "--version") return m_version = true;
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const OptionSpec* spec = FindOption(name, std::begin(kGlobalOptions), std::end(kGlobalOptions));
    const CommandSpec* command = m_invocation.command;
    if (spec == nullptr && command != nullptr) {
        spec = FindOption(name, command->options.data(), command->options.data() + command->options.size());
    }
    if (spec == nullptr) return m_error = "unknown option " + name, false;
    if (spec->value == nullptr) {
        if (equals != std::string::npos) return m_error = name + " takes no value", false;
        Store(m_invocation, name, "");
    } else if (equals != std::string::npos) {
        Store(m_invocation, name, argument.substr(equals + 1));
    } else if (index + 1 < argc) {
        Store(m_invocation, name, argv[++index]);
    } else {
        return m_error = name + " needs a value (" + spec->value + ")", false;
    }
    return true;
}

bool Parser::Word(const std::string& argument)
{
    if (m_invocation.command != nullptr) {
        m_invocation.arguments.push_back(argument);
        return true;
    }
    for (const CommandSpec& command : m_commands) {
        if (argument == command.name) return m_invocation.command = &command, true;
    }
    return m_error = "unknown command " + argument, false;
}

int Parser::Error(const std::string& message)
{
    if (m_invocation.command != nullptr) return UsageError(*m_invocation.command, message);
    std::fprintf(stderr, "k4xtrace: %s\nRun 'k4xtrace --help' for the commands and options.\n", message.c_str());
    return kExitUsage;
}

}  // namespace

std::vector<OptionSpec> GlobalOptionSpecs() { return {std::begin(kGlobalOptions), std::end(kGlobalOptions)}; }

std::string Invocation::Value(const std::string& name) const
{
    const std::vector<std::string> values = Values(name);
    return values.empty() ? std::string() : values.back();
}

std::vector<std::string> Invocation::Values(const std::string& name) const
{
    std::vector<std::string> values;
    for (auto [it, end] = options.equal_range(name); it != end; ++it) values.push_back(it->second);
    return values;
}

bool ParseCommandLine(int argc, char** argv, const std::vector<CommandSpec>& commands, Invocation& invocation,
                      int& exit)
{
    return Parser(commands, invocation).Parse(argc, argv, exit);
}

int UsageError(const CommandSpec& command, const std::string& message)
{
    std::fprintf(stderr,
                 "k4xtrace %s: %s\nusage: k4xtrace %s [OPTIONS] %s\n"
                 "Run 'k4xtrace %s --help' for more.\n",
                 command.name, message.c_str(), command.name, command.arguments, command.name);
    return kExitUsage;
}

}  // namespace k4xtrace
