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

}  // namespace k4xtrace
