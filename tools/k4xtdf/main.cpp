// k4xtdf: creates TDF container files, lists their sections and writes one
// section's data to standard output. Exit status: 0 done, 1 the operation
// failed (reason on standard error), 2 wrong usage.
#include "HostPlatform.h"
#include "TdfFile.h"
#include "TdfFormat.h"
#include "TdfSectionWalker.h"
#include "cVexaError.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

using k4xtdf::TdfSectionHeader;
using k4xtdf::TdfSectionWalker;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* arguments;
    const char* description;
    int argumentCount;
    int (*run)(char** arguments);
};

int Fail(const char* path, const char* reason)
{
    std::fprintf(stderr, "k4xtdf: %s: %s\n", path, reason);
    return kExitFailed;
}

int Create(char** arguments)
{
    const char* path = arguments[0];
    // Created new: a file made meanwhile is not truncated either.
    k4xtdf::FileGuard file(k4xplatform::SystemCalls().open(path, "wbx"));
    if (!file) return Fail(path, errno == EEXIST ? "file exists; not overwritten" : std::strerror(errno));
    const bool written = k4xtdf::WriteU32(file.get(), k4xtdf::kSignature);
    if (!k4xplatform::SystemCalls().close(file.Release()) || !written) {
        return Fail(path, "cannot write the signature");
    }
    return 0;
}

// Names are bytes from the file: anything that could upset a terminal is escaped.
std::string Printable(const char* bytes, uint32_t length)
{
    std::string text;
    for (uint32_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

int List(char** arguments)
{
    const char* path = arguments[0];
    const k4xtdf::FileGuard file(k4xplatform::SystemCalls().open(path, "rb"));
    if (!file) return Fail(path, std::strerror(errno));
    if (!k4xtdf::ReadSignature(file.get())) return Fail(path, "not a TDF file (no TDF2 signature)");
    std::printf("%-10s %-10s %-10s %s\n", "OFFSET", "LENGTH", "VERSION", "NAME");
    TdfSectionWalker walker(file.get());
    TdfSectionHeader header;
    while (walker.Next(header)) {
        std::printf("%-10u %-10u %-10u %s\n", static_cast<unsigned>(header.offset),
                    static_cast<unsigned>(header.length), static_cast<unsigned>(header.version),
                    Printable(header.name, header.nameLength).c_str());
    }
    if (walker.GetStatus() == TdfSectionWalker::Status_End) return 0;
    std::fflush(stdout);
    std::fprintf(stderr, "k4xtdf: %s: bad section header at offset %u: %s\n", path,
                 static_cast<unsigned>(walker.GetOffset()), TdfSectionWalker::StatusText(walker.GetStatus()));
    return kExitFailed;
}

// Decimal, or hexadecimal after 0x; the whole text must be the number.
bool ParseVersion(const char* text, uint32_t& version)
{
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    if (!std::isxdigit(static_cast<unsigned char>(digits[0]))) return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || value > 0xFFFFFFFFull) return false;
    version = static_cast<uint32_t>(value);
    return true;
}

int WriteSection(const char* path, const char* name, uint32_t version)
{
    TdfFile tdf;
    uint32_t size = 0;
    tdf.GetSectionSize(path, name, version, size);
    // One byte at least: an empty section still goes through the full load.
    std::vector<unsigned char> data(size > 0 ? size : 1);
    uint32_t got = 0;
    tdf.LoadSection(path, name, version, data.data(), static_cast<uint32_t>(data.size()), got);
    if (!k4xplatform::SetBinaryMode(stdout) || std::fwrite(data.data(), 1, got, stdout) != got ||
        std::fflush(stdout) != 0) {
        return Fail(path, "cannot write to standard output");
    }
    return 0;
}

int Dump(char** arguments)
{
    uint32_t version = 0;
    if (!ParseVersion(arguments[2], version)) {
        std::fprintf(stderr,
                     "k4xtdf: VERSION must be an unsigned 32-bit number, decimal or 0x hexadecimal: %s\n"
                     "usage: k4xtdf dump FILE NAME VERSION\n",
                     arguments[2]);
        return kExitUsage;
    }
    try {
        return WriteSection(arguments[0], arguments[1], version);
    } catch (const Zr::Kdt::Vexa::cVexaErrorIF& error) {
        return Fail(arguments[0], error.GetMessageText());
    } catch (const std::bad_alloc&) {
        return Fail(arguments[0], "out of memory");
    }
}

const Command kCommands[] = {
    {"create", "FILE", "Writes a new TDF file that holds only the signature. An existing file is left alone.", 1,
     Create},
    {"list", "FILE",
     "Prints one line per section: offset, length, version and name (bytes outside\n"
     "printable ASCII as \\xNN). Stops with an error at the first header that\n"
     "cannot be trusted.",
     1, List},
    {"dump", "FILE NAME VERSION",
     "Writes the data of the first section with this NAME and VERSION (decimal or\n"
     "0x hexadecimal) to standard output, byte for byte. FILE must end in .tdf.",
     3, Dump},
};

int CommandUsage(const Command& command, std::FILE* stream)
{
    std::fprintf(stream, "usage: k4xtdf %s %s\n\n%s\n", command.name, command.arguments, command.description);
    return stream == stdout ? 0 : kExitUsage;
}

int Usage(std::FILE* stream)
{
    std::fprintf(stream, "usage: k4xtdf COMMAND ARGUMENTS\n\nCommands (k4xtdf COMMAND --help tells more):\n");
    for (const Command& command : kCommands) std::fprintf(stream, "  %s %s\n", command.name, command.arguments);
    return stream == stdout ? 0 : kExitUsage;
}

bool IsHelp(const char* argument) { return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Usage(stderr);
    if (IsHelp(argv[1])) return Usage(stdout);
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        for (int i = 2; i < argc; ++i) {
            if (IsHelp(argv[i])) return CommandUsage(command, stdout);
        }
        for (int i = 2; i < argc; ++i) {
            if (argv[i][0] == '-') return CommandUsage(command, stderr);
        }
        if (argc - 2 != command.argumentCount) return CommandUsage(command, stderr);
        return command.run(argv + 2);
    }
    std::fprintf(stderr, "k4xtdf: unknown command: %s\n", argv[1]);
    return Usage(stderr);
}
