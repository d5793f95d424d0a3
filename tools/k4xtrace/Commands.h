// The subcommands of k4xtrace.
#pragma once

#include "CommandLine.h"

#include <vector>

namespace k4xtrace {

const std::vector<CommandSpec>& Commands();

int ShowCommand(Session& session, const Invocation& invocation);
int GetCommand(Session& session, const Invocation& invocation);
int SetCommand(Session& session, const Invocation& invocation);
int SaveCommand(Session& session, const Invocation& invocation);
int LoadCommand(Session& session, const Invocation& invocation);
int DiffCommand(Session& session, const Invocation& invocation);
int LiveCommand(Session& session, const Invocation& invocation);
int InfoCommand(Session& session, const Invocation& invocation);
int CheckCommand(Session& session, const Invocation& invocation);
int DoctorCommand(Session& session, const Invocation& invocation);
int LogCommand(Session& session, const Invocation& invocation);
// --version: the tool's version, and the version of the library it loads.
int VersionCommand(Session& session, const Invocation& invocation);

}  // namespace k4xtrace
