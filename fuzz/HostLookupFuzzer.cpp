// The output-file lookup without a live system: the cache of the host's
// earlier answers and the host's callback. The input is a list of lookups,
// one a line: a CPU name, then, after a tab, what the host answers when
// asked: "f<digit>" an existing file, "m" a missing one, "x" throws, "n"
// no callback at all, anything else that text itself (up to a NUL).
// What a host relies on: a lookup fails with its output untouched or gives
// an existing file that the host named, the host is asked at most once, and
// what the callback throws reaches the caller unchanged. Which cached name
// answers is pinned by the live tests.
#include "FuzzTarget.h"
#include "K4xDeviceCfgMgr.h"
#include "uEnvironment.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
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
    bool Query(const std::string&, int32_t, std::string& answer) override
    {
        ++asked;
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
    std::string given;
    int asked = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Scratch();
    Zr::Kdt::Trace::DeviceDescriptor descriptor{"K4x_DSP0", 0, {}, 0};
    K4xDeviceCfgMgr manager(&descriptor, 0);
    ScriptedHost host;
    std::set<std::string> kept;
    for (const Lookup& lookup : ReadLookups(data, size)) {
        manager.SetHostCallback(lookup.directive == "n" ? nullptr : &host);
        host.directive = lookup.directive;
        host.asked = 0;
        std::string out = "untouched";
        bool found = false;
        try {
            found = manager.GetOutFile(lookup.cpu, out);
        } catch (const HostGaveUp&) {
            FuzzCheck(out == "untouched", "a throwing host changed the output");
            continue;
        }
        FuzzCheck(host.asked <= (lookup.directive == "x" ? 0 : 1), "the host was asked twice or its throw swallowed");
        if (!found) {
            FuzzCheck(out == "untouched", "a failed lookup changed the output");
            continue;
        }
        std::error_code error;
        const bool fresh = host.asked == 1 && out == host.given && fs::exists(fs::path(out), error);
        FuzzCheck(fresh || kept.count(out) == 1, "a file that the host did not name, or that does not exist");
        kept.insert(out);
    }
    return 0;
}
