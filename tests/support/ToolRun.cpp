#include "ToolRun.h"

#include "Bytes.h"

#include <cstdlib>
#include <filesystem>

namespace k4xtest {

ToolResult RunTool(const std::string& program, const std::string& arguments, const std::string& folder)
{
    const std::filesystem::path base(folder);
    const std::string in = (base / "tool-stdin.txt").string(), out = (base / "tool-stdout.bin").string(),
                      err = (base / "tool-stderr.txt").string();
    WriteBytes(in, "");
    // The program's path is left unquoted: the Windows shell strips the
    // first and last quote of a command line that starts with one.
    const std::string tool = std::filesystem::path(program).make_preferred().string();
    const std::string command = tool + " " + arguments + " >" + Quoted(out) + " 2>" + Quoted(err) + " <" + Quoted(in);
    const int status = std::system(command.c_str());
    return {(status >> K4X_EXIT_STATUS_SHIFT) & 0xFF, ReadBytes(out), ReadBytes(err)};
}

std::string WithLineFeeds(std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

}  // namespace k4xtest
