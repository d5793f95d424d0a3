// One run of the tool against the loaded library: makes the managers the
// command needs and reports failures the same way for every command.
#pragma once

#include "CommandLine.h"
#include "ConfigLibrary.h"
#include "Device.h"

#include <memory>
#include <string>

namespace k4xtrace {

using k4xhost::Device;

// Whether an operation of the library was done; when not, error holds the
// library's text for it, or else reason, or else that there is none.
bool Explained(bool done, const std::string& reason, std::string& error);

class Session {
public:
    explicit Session(const Invocation& invocation) : m_invocation(invocation) {}

    // Loads the library; false after printing the reason.
    bool Open();
    // Loads the library; false with the reason in error.
    bool Load(std::string& error);

    // A manager for the CPU, or null after printing the reason. Warns when
    // the settings file that the manager loaded first was malformed.
    std::unique_ptr<Device> NewDevice(const std::string& cpu);

    // "k4xtrace: WHAT: REASON" on stderr, and as a failure line in the
    // trace log when a manager made one; returns kExitFailed.
    int Fail(const std::string& what, const std::string& reason) const;

    // Names the trace log on stderr when logging is on and a manager made it.
    void ReportLog() const;

    const std::string& LibraryPath() const { return m_library.Path(); }
    // The loaded file's version, or "unknown".
    std::string LibraryVersion() const;

private:
    const Invocation& m_invocation;
    k4xhost::ConfigLibrary m_library;
    std::string m_logFile;
};

}  // namespace k4xtrace
