#include "Commands.h"

#include <cstdint>

namespace k4xtrace {

namespace {

const OptionSpec kJson = {"--json", nullptr, "print JSON for scripts"};

}  // namespace

const std::vector<CommandSpec>& Commands()
{
    static const std::vector<CommandSpec> commands = {
        {"show",
         "CPU",
         "show every property of the CPU's configuration",
         "Shows every trace property of the CPU's configuration: its settings file\n"
         "when there is one, the library's defaults otherwise.",
         {kJson},
         1,
         1,
         ShowCommand},
        {"get",
         "CPU NAME...",
         "print the values of properties",
         "Prints the value of each named property, one a line (text as stored,\n"
         "booleans as true or false).",
         {kJson},
         2,
         SIZE_MAX,
         GetCommand},
        {"set",
         "CPU NAME=VALUE...",
         "change properties and save them",
         "Changes properties and saves the configuration, to the CPU's settings file\n"
         "unless --to names another store. Each value is read by the property's type:\n"
         "integers in decimal or 0x hexadecimal, booleans as true, false, 1 or 0, text\n"
         "as given (without line ends). Nothing is saved when any assignment fails.",
         {{"--to", "STORE", "save here instead (see Stores in k4xtrace --help)"}},
         2,
         SIZE_MAX,
         SetCommand},
        {"save",
         "CPU STORE",
         "copy the CPU's configuration to a store",
         "Saves the CPU's configuration (its settings file, or the defaults) to STORE.\n"
         "Text files go to the settings directory; a TDF container must exist already.",
         {},
         2,
         2,
         SaveCommand},
        {"load",
         "CPU STORE",
         "load a configuration from a store and show it",
         "Loads STORE into a manager of the CPU and shows the result. Properties that\n"
         "the store leaves out keep the values of the CPU's settings file.",
         {kJson},
         2,
         2,
         LoadCommand},
        {"diff",
         "CPU STORE1 STORE2",
         "compare two stores property by property",
         "Loads each store into a manager of the CPU and prints the properties that\n"
         "differ. Exit status as diff(1): 0 the same, 1 different, 2 trouble.",
         {},
         3,
         3,
         DiffCommand},
        {"live",
         "CPU [OTHER_CPU...]",
         "connect to the live target, show its TWP source and output files",
         "Connects the CPU's manager to the live target through the channel driver\n"
         "(NAVRO) and the trace factory (TraceFactory), then shows the live TWP source\n"
         "and the output file of the CPU and of each OTHER_CPU. When the live system\n"
         "does not know a CPU, the library asks the host: k4xtrace answers from\n"
         "--answer, or asks you when standard input is a terminal.",
         {{"--answer", "[CPU=]PATH", "the output file to answer with (for CPU, or for any); repeatable"}, kJson},
         1,
         SIZE_MAX,
         LiveCommand},
        {"info",
         "CPU",
         "show the library, the device and the trace directories",
         "Shows which library was loaded and its version, the device information of a\n"
         "new manager, the trace directories that the library published, the settings\n"
         "file and the logging state.",
         {},
         1,
         1,
         InfoCommand},
        {"check",
         "FILE...",
         "report every problem of configuration files, with line numbers",
         "Reads each FILE as the library reads it: a text configuration (settings,\n"
         "text or .dcm file), or the AETCONFIG section of a TDF container (a name\n"
         "ending in .tdf; lines count inside the section). Reports unknown names with\n"
         "the closest known one, values the library converts differently from what\n"
         "they say, names and values over 1023 characters, entries set twice (the\n"
         "last one wins) and CycleModeDelta, which no file sets. Exit status: 0 all\n"
         "clean, 1 problems found.",
         {kJson},
         1,
         SIZE_MAX,
         CheckCommand},
        {"doctor",
         "[CPU...]",
         "check the set-up that trace needs, and say what to do",
         "Checks what a debugger's trace depends on, one line a check, each OK, WARN or\n"
         "FAIL with what to do: the profile and the trace folders (they exist or can be\n"
         "made, can be written, and have room), each CPU's settings file (every one in\n"
         "the settings folder when no CPU is named) as check reads it, the logging\n"
         "level, the configuration library and the C interface beside it, and the file\n"
         "that the library's own loader takes for TraceFactory and for NAVRO: whether\n"
         "it loads (doctor loads it, as a live connection does), has the exports the\n"
         "library needs, and comes from a folder that only trusted users can write.\n"
         "Runs without a profile or a library too. Exit status: 0 nothing failed, 1 a\n"
         "check failed.",
         {kJson},
         0,
         SIZE_MAX,
         DoctorCommand,
         false},
        {"log",
         "[FILE]",
         "read the trace log, filtered, or follow it",
         "Reads a trace log (the newest one in the trace folder unless FILE is given)\n"
         "and prints its records, split into categories, stamp and message as the\n"
         "logger writes them; a message of several lines is one record. The filters\n"
         "keep the records that pass all of them.",
         {{"--level", "LETTERS", "records of any of these categories: M, W, F, A, E (E: failures)"},
          {"--since", "TIME", "records from this time of day on (HH:MM[:SS]), the stamps' own clock"},
          {"--grep", "TEXT", "records whose message holds TEXT"},
          {"--follow", nullptr, "go on printing what the log gains, until interrupted"},
          {"--json", nullptr, "one JSON object a record"}},
         0,
         1,
         LogCommand,
         false},
    };
    return commands;
}

}  // namespace k4xtrace
