// doctor: the set-up that a debugger's trace depends on, checked the way
// the library meets it, one finding a check, each with what to do.
#pragma once

#include "Session.h"

#include <string>
#include <vector>

namespace k4xtrace {

enum Verdict { Verdict_Ok, Verdict_Warn, Verdict_Fail };

struct Finding {
    Verdict verdict;
    std::string check;  // what was checked: "profile", "channel driver", ...
    std::string text;   // what was found
    std::string todo;   // what to do about it; "" for nothing
};

using Findings = std::vector<Finding>;

// The trace folder (also the log folder) and its folders, as the library
// names them; all "" when no profile is known.
struct TraceFolders {
    std::string trace;
    std::string settings;
    std::string data;
};

// The profile, and the trace folders: they exist or can be made, can be
// written, and their volume has room. Fills folders when there is a
// profile.
void CheckProfile(TraceFolders& folders, Findings& findings);

// The settings file of each CPU, or with none named every settings file in
// the settings folder: readable, and what check finds in it.
void CheckSettingsFiles(const TraceFolders& folders, const std::vector<std::string>& cpus, Findings& findings);

// The level that the logging level variable gives, and where the log goes.
void CheckLogging(const TraceFolders& folders, Findings& findings);

// The configuration library that the session loads: its file and version,
// and the C interface beside it where there is one.
void CheckConfigurationLibrary(Session& session, Findings& findings);

// The trace factory and the channel driver: the file that a load by the
// library's own loader takes, whether it loads, has the exports the
// library looks up, and comes from a folder that only trusted users write.
void CheckLiveLibraries(Findings& findings);

}  // namespace k4xtrace
