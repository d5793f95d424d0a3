// k4xtrace: configures trace on a K4x CPU through the configuration
// library, loaded at run time like a debugger loads it.
#include "CommandLine.h"
#include "Commands.h"
#include "Session.h"
#include "ToolDocuments.h"
#include "TraceEnvironment.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    using namespace k4xtrace;
    // Run by the build, never listed: parts of the man page and the completion.
    if (argc == 3 && std::string(argv[1]) == kDocumentPartOption) return PrintDocumentPart(argv[2]);
    Invocation invocation;
    int status = kExitSuccess;
    if (!ParseCommandLine(argc, argv, Commands(), invocation, status)) return status;
    if (invocation.version) {
        Session session(invocation);
        return VersionCommand(session, invocation);
    }
    std::string error;
    const bool needsLibrary = invocation.command->needsLibrary;
    // The library reads its environment when it makes its first manager.
    if (!ApplyEnvironment(invocation.global, needsLibrary, error)) {
        std::fprintf(stderr, "k4xtrace: %s\n", error.c_str());
        return kExitFailed;
    }
    Session session(invocation);
    if (needsLibrary && !session.Open()) return kExitFailed;
    status = invocation.command->run(session, invocation);
    std::fflush(stdout);
    session.ReportLog();
    return status;
}
