// The output-file lookup without a live system: the cache of the host's
// earlier answers and the host's callback. The input is a list of lookups,
// one a line: a CPU name, then, after a tab, what the host answers when
// asked: "f<digit>" an existing file, "m" a missing one, "x" throws, "n"
// no callback at all, anything else that text itself (up to a NUL).
// What a host relies on: a lookup fails with its output untouched or gives
// a file; the host is asked only when no cached name shares the name's last
// byte (ignoring case), once, with "Application for <name>", 0 and an empty
// answer; an exact name beats a name that contains it, which beats a shared
// tail, each the earliest cached; only an answer naming an existing path is
// kept, and what the callback throws reaches the caller unchanged.
#include "FuzzTarget.h"
#include "K4xDeviceCfgMgr.h"
#include "uEnvironment.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct HostGaveUp {};

// The scratch profile holds the trace directories and the files that
// answers name, so that the user's own profile is never touched.
const fs::path& Scratch()
{
    static const fs::path folder = [] {
        const fs::path made = fs::temp_directory_path() / "k4x_host_lookup";
        fs::create_directories(made);
        ZR_KDT::SetEnvironmentValue("USERPROFILE", made.string().c_str());
        for (char digit = '0'; digit <= '9'; ++digit) std::ofstream(made / (std::string("out") + digit + ".out")) << "image";
        return made;
    }();
    return folder;
}

struct Lookup {
    std::string cpu;
    std::string directive;
};

std::vector<Lookup> ReadLookups(const uint8_t* data, std::size_t size)
{
    std::vector<Lookup> lookups;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= text.size() && lookups.size() < 64;) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t tab = line.find('\t');
        lookups.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
        start = end + 1;
    }
    return lookups;
}

class ScriptedHost final : public Zr::Kdt::Trace::CHostCallback {
public:
    bool Query(const std::string& prompt, int32_t value, std::string& answer) override
    {
        ++asked;
        FuzzCheck(prompt == expectedPrompt, "prompt is not \"Application for <name>\"");
        FuzzCheck(value == 0, "the host's integer is not 0");
        FuzzCheck(answer.empty(), "the answer does not start empty");
        if (directive == "x") throw HostGaveUp{};
        if (directive == "m") {
            answer = (Scratch() / "missing.out").string();
        } else if (directive.size() == 2 && directive[0] == 'f' && std::isdigit(static_cast<unsigned char>(directive[1]))) {
            answer = (Scratch() / (std::string("out") + directive[1] + ".out")).string();
        } else {
            answer = directive.substr(0, directive.find('\0'));
        }
        given = answer;
        return true;
    }

    std::string directive;
    std::string expectedPrompt;
    std::string given;
    int asked = 0;
};

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

using Cache = std::vector<std::pair<std::string, std::string>>;

// The cached file that answers cpu, or nullptr when the host must be asked.
const std::string* Expected(const Cache& cache, const std::string& cpu)
{
    for (const auto& entry : cache) {
        if (entry.first == cpu) return &entry.second;
    }
    for (const auto& entry : cache) {
        if (entry.first.find(cpu) != std::string::npos) return &entry.second;
    }
    // Every tail of the name ends in its last byte, the shortest tail.
    if (cpu.empty()) return nullptr;
    const char last = Upper(cpu.substr(cpu.size() - 1))[0];
    for (const auto& entry : cache) {
        if (Upper(entry.first).find(last) != std::string::npos) return &entry.second;
    }
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Scratch();
    Zr::Kdt::Trace::DeviceDescriptor descriptor{"K4x_DSP0", 0, {}, 0};
    K4xDeviceCfgMgr manager(&descriptor, 0);
    ScriptedHost host;
    Cache cache;
    for (const Lookup& lookup : ReadLookups(data, size)) {
        manager.SetHostCallback(lookup.directive == "n" ? nullptr : &host);
        host.directive = lookup.directive;
        host.expectedPrompt = "Application for " + lookup.cpu;
        host.asked = 0;
        host.given.clear();
        const std::string* cached = Expected(cache, lookup.cpu);
        std::string out = "untouched";
        bool found = false;
        try {
            found = manager.GetOutFile(lookup.cpu, out);
        } catch (const HostGaveUp&) {
            FuzzCheck(host.asked == 1 && lookup.directive == "x", "an exception that the host did not throw");
            FuzzCheck(out == "untouched", "a throwing host changed the output");
            continue;
        }
        FuzzCheck(lookup.directive != "x" || host.asked == 0, "the host's exception was swallowed");
        if (cached != nullptr) {
            FuzzCheck(host.asked == 0, "the host was asked though the cache answers");
            FuzzCheck(found && out == *cached, "not the cached file that the rules pick");
            continue;
        }
        FuzzCheck(host.asked == (lookup.directive == "n" ? 0 : 1), "the host was not asked exactly once");
        std::error_code error;
        const bool exists = !host.given.empty() && fs::exists(fs::path(host.given), error);
        if (!exists) {
            FuzzCheck(!found && out == "untouched", "an answer naming no file was taken or changed the output");
            continue;
        }
        FuzzCheck(found && out == host.given, "an existing answer was not given back");
        cache.emplace_back(lookup.cpu, host.given);
        std::string again;
        FuzzCheck(manager.GetOutFile(lookup.cpu, again) && again == host.given && host.asked == 1,
                  "a kept answer was not kept");
    }
    return 0;
}
