// What depends on the build: where bin/sim/ is, and how the shell reports
// a program's exit code and a program it could not start.
#include "Bytes.h"
#include "LoadedLibrary.h"
#include "ToolRun.h"
#include "uEnvironment.h"

#include <cstdlib>
#include <filesystem>

namespace k4xtest {

std::string SimFolder(const char* folder)
{
    std::string path = K4X_SIM_ROOT;
    ZR_KDT::AppendPathComponent(path, folder);
    return path;
}

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
    // Under Wine the shell now and then fails to start a program that is
    // there ("Can't recognize ..." and 9009); the program never ran, so it
    // is started again.
    int status = std::system(command.c_str());
    for (int attempt = 1; attempt < 5 && (status == -1 || status == K4X_SHELL_CANNOT_START); ++attempt)
        status = std::system(command.c_str());
    return {(status >> K4X_EXIT_STATUS_SHIFT) & 0xFF, ReadBytes(out), ReadBytes(err)};
}

}  // namespace k4xtest
