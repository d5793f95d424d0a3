// Names: "~k4x<process id>-<thread id>.tmp", then "~k4x<process
// id>-<thread id>-<n>.tmp" for n from 1 while a name is taken. The process
// id in the name tells whether the file's maker still runs.
#include "K4xTemporaryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

const char kPrefix[] = "~k4x";
const char kSuffix[] = ".tmp";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
constexpr std::size_t kSuffixLength = sizeof kSuffix - 1;
// Names planted at every one of them leave the save to write in place.
constexpr int kNamesToTry = 16;

k4xplatform::SystemCallTable& Calls() { return k4xplatform::SystemCalls(); }

std::string NameOf(int attempt)
{
    std::string name = kPrefix + std::to_string(k4xplatform::CurrentProcessId()) + "-" +
                       std::to_string(k4xplatform::CurrentThreadId());
    if (attempt > 0) name += "-" + std::to_string(attempt);
    return name + kSuffix;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string::npos;
}

// The ids between prefix and suffix, split at each "-".
std::vector<std::string> IdsIn(const std::string& name)
{
    std::vector<std::string> ids;
    const std::size_t end = name.size() - kSuffixLength;
    for (std::size_t start = kPrefixLength; start <= end;) {
        const std::size_t dash = std::min(name.find('-', start), end);
        ids.push_back(name.substr(start, dash - start));
        start = dash + 1;
    }
    return ids;
}

// The process id that a name of this file's making holds; 0 for any other
// name.
uint64_t MakerOf(const std::string& name)
{
    if (name.size() <= kPrefixLength + kSuffixLength || name.compare(0, kPrefixLength, kPrefix) != 0 ||
        name.compare(name.size() - kSuffixLength, kSuffixLength, kSuffix) != 0) {
        return 0;
    }
    const std::vector<std::string> ids = IdsIn(name);
    if (ids.size() < 2 || ids.size() > 3 || !std::all_of(ids.begin(), ids.end(), AllDigits)) return 0;
    return std::strtoull(ids[0].c_str(), nullptr, 10);
}

}  // namespace

namespace k4xstore {

bool CreateTemporaryFile(const std::string& folder, bool ownerOnly, TemporaryFile& temporary)
{
    for (int attempt = 0; attempt < kNamesToTry; ++attempt) {
        temporary.path = folder + NameOf(attempt);
        errno = 0;
        temporary.file = Calls().open(temporary.path.c_str(), ownerOnly ? "wxp" : "wx");
        if (k4xplatform::IsOpen(temporary.file)) return true;
        // Any other failure is the folder's, and the next name fares no better.
        if (errno != EEXIST) return false;
    }
    return false;
}

void RemoveStaleTemporaryFiles(const std::string& folder)
{
    std::vector<std::string> names;
    if (!Calls().listDirectory(folder.empty() ? "." : folder.c_str(), names)) return;
    for (const std::string& name : names) {
        const uint64_t maker = MakerOf(name);
        if (maker != 0 && k4xplatform::FindProcessById(maker) == 0) Calls().remove((folder + name).c_str());
    }
}

}  // namespace k4xstore
