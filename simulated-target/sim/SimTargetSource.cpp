#include "SimTargetSource.h"

#include "Platform.h"
#include "SimTargetParser.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace k4xsim {

namespace {

constexpr std::size_t kMaxDescription = 64 * 1024;

std::string DescriptionPath()
{
    // The process environment as the library sees it, also for variables
    // set after start-up (the C runtime's copy would miss those on Windows).
    std::string path;
    k4xplatform::GetEnvironment("K4X_SIM_TARGET", path);
    return path;
}

bool ReadDescription(const std::string& path, std::string& text, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open the file";
        return false;
    }
    std::istreambuf_iterator<char> it(file), end;
    for (; it != end && text.size() <= kMaxDescription; ++it) text.push_back(*it);
    if (text.size() > kMaxDescription) {
        error = "larger than 64 KiB";
        return false;
    }
    return true;
}

}  // namespace

SimTarget LoadTarget()
{
    SimTarget target = DefaultTarget();
    const std::string path = DescriptionPath();
    if (path.empty()) return target;
    std::string text, error;
    if (ReadDescription(path, text, error) && ParseTarget(text, target, error)) return target;
    std::fprintf(stderr, "K4x simulator: target description %s: %s; the target is unreachable\n", path.c_str(),
                 error.c_str());
    return UnreachableTarget();
}

}  // namespace k4xsim
