// One test's live session in a scratch profile: one simulated system of
// bin/sim/ on PATH, trace logging switched on, and its trace log read back.
#pragma once

#include "Bytes.h"
#include "LoadedLibrary.h"
#include "ScratchProfile.h"
#include "TraceLog.h"

#include <string>

namespace k4xtest {

class LiveSession : public ScratchProfile {
public:
    // simFolder: the folder of bin/sim/ to put on PATH ("default", ...), or
    // null for a PATH without any stand-in. logging: ZR_TRACE_LOGGING.
    explicit LiveSession(const char* simFolder, const char* logging = "1")
    {
        SetVariable("ZR_TRACE_LOGGING", logging);
        SetVariable("ZR_TRACE_DEBUGCLIENT_PID", nullptr);
        SetVariable("K4X_SIM_TARGET", nullptr);
        SetVariable("PATH", (simFolder != nullptr ? SimFolder(simFolder) : NewFolder("empty-path")).c_str());
    }

    // The target description that the stand-ins read next (K4X_SIM_TARGET).
    void UseTarget(const std::string& text) { SetVariable("K4X_SIM_TARGET", WriteFile("target.txt", text).c_str()); }
    // Writes a file beside the profile; its path.
    std::string WriteFile(const std::string& name, const std::string& text) const
    {
        WriteBytes(Path(name), text);
        return Path(name);
    }

    // The one trace log of the trace directory, read now.
    TraceLog Log() const { return TraceLog(TraceDirectory()); }
};

}  // namespace k4xtest
