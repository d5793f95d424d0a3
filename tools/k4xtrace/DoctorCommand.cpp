// doctor: every check of the set-up, one line each, and the exit status.
#include "CheckFile.h"
#include "Commands.h"
#include "Doctor.h"
#include "K4xFileNames.h"
#include "Platform.h"
#include "PropertyText.h"

#include <algorithm>
#include <cstdio>

namespace k4xtrace {

namespace {

const char* const kVerdicts[] = {"OK", "WARN", "FAIL"};

// The settings files of the folder, by the name the library gives them.
std::vector<std::string> SettingsFilesIn(const std::string& folder)
{
    const std::string suffix = k4xformat::SettingsFileName("");
    std::vector<std::string> names, files;
    k4xplatform::SystemCalls().listDirectory(folder.c_str(), names);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            files.push_back(k4xformat::SettingsFilePath(folder, name));
    }
    return files;
}

Finding CheckSettingsFile(const std::string& path)
{
    if (!k4xplatform::PathExists(path.c_str()))
        return {Verdict_Ok, "settings file", path + " is missing: a new manager starts from the defaults", ""};
    const CheckedFile file = CheckFile(path);
    const std::vector<ConfigProblem>& problems = file.check.problems;
    if (problems.empty()) return {Verdict_Ok, "settings file", path + ": clean", ""};
    const ConfigProblem& first = problems.front();
    if (first.kind == "unreadable")
        return {Verdict_Fail, "settings file", path + ": " + first.message, "make it readable"};
    const std::string where = first.line == 0 ? "" : "line " + std::to_string(first.line) + ": ";
    return {Verdict_Warn, "settings file",
            path + ": " + std::to_string(problems.size()) +
                (problems.size() == 1 ? " problem, " : " problems, first ") + where + first.message,
            "k4xtrace check " + path + " lists them; k4xtrace set writes the file anew"};
}

void PrintText(const Findings& findings)
{
    for (const Finding& finding : findings) {
        const std::string todo = finding.todo.empty()            ? ""
                                 : finding.verdict == Verdict_Ok ? "; " + finding.todo
                                                                 : ". To do: " + finding.todo;
        std::printf("%-5s %-21s %s%s\n", kVerdicts[finding.verdict], finding.check.c_str(), finding.text.c_str(),
                    todo.c_str());
    }
}

void PrintJson(const Findings& findings, bool failed)
{
    std::printf("{\"checks\": [");
    for (const Finding& finding : findings) {
        std::printf("%s\n  {\"verdict\": \"%s\", \"check\": %s, \"text\": %s, \"todo\": %s}",
                    &finding == &findings.front() ? "" : ",", kVerdicts[finding.verdict],
                    JsonString(finding.check).c_str(), JsonString(finding.text).c_str(),
                    JsonString(finding.todo).c_str());
    }
    std::printf("\n], \"failed\": %s}\n", failed ? "true" : "false");
}

}  // namespace

void CheckSettingsFiles(const TraceFolders& folders, const std::vector<std::string>& cpus, Findings& findings)
{
    if (folders.settings.empty()) return;
    std::vector<std::string> files = cpus.empty() ? SettingsFilesIn(folders.settings) : std::vector<std::string>();
    for (const std::string& cpu : cpus)
        files.push_back(k4xformat::SettingsFilePath(folders.settings, k4xformat::SettingsFileName(cpu)));
    if (files.empty())
        findings.push_back({Verdict_Ok, "settings file", "none yet: every CPU starts from the defaults", ""});
    for (const std::string& file : files) findings.push_back(CheckSettingsFile(file));
}

int DoctorCommand(Session& session, const Invocation& invocation)
{
    Findings findings;
    TraceFolders folders;
    CheckProfile(folders, findings);
    CheckSettingsFiles(folders, invocation.arguments, findings);
    CheckLogging(folders, findings);
    CheckConfigurationLibrary(session, findings);
    CheckLiveLibraries(findings);
    const bool failed = std::any_of(findings.begin(), findings.end(),
                                    [](const Finding& finding) { return finding.verdict == Verdict_Fail; });
    invocation.Has("--json") ? PrintJson(findings, failed) : PrintText(findings);
    return failed ? kExitFailed : kExitSuccess;
}

}  // namespace k4xtrace
