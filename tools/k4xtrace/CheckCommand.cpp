// check: every problem of stored configurations at once, with its line.
#include "CheckFile.h"
#include "Commands.h"

#include <cstdio>

namespace k4xtrace {

int CheckCommand(Session&, const Invocation& invocation)
{
    const bool json = invocation.Has("--json");
    bool clean = true;
    if (json) std::printf("{\"files\": [");
    for (const std::string& path : invocation.arguments) {
        const CheckedFile file = CheckFile(path);
        clean = clean && file.check.problems.empty();
        json ? PrintCheckJson(file, &path == &invocation.arguments.front()) : PrintCheckText(file);
    }
    if (json) std::printf("\n], \"clean\": %s}\n", clean ? "true" : "false");
    return clean ? kExitSuccess : kExitFailed;
}

}  // namespace k4xtrace
