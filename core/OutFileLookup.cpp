// Which output file belongs to a CPU: the live system, a cache of earlier
// answers, and the host as the last resort.
#include "CDeviceConfigManagerCommon.h"
#include "Platform.h"
#include "cVexaError.h"
#include "uLogManager.h"

#include <algorithm>
#include <cctype>

namespace Zr {
namespace Kdt {
namespace Trace {

namespace {

std::string UpperCase(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Some tail of the CPU name, ignoring case, occurs in the cached name. The
// last tail is one byte, so any shared last byte matches.
bool MatchesByTail(const std::string& cachedName, const std::string& cpuName)
{
    const std::string cached = UpperCase(cachedName);
    const std::string wanted = UpperCase(cpuName);
    for (std::size_t start = 0; start < wanted.size(); ++start) {
        if (cached.find(wanted.data() + start, 0, wanted.size() - start) != std::string::npos) return true;
    }
    return false;
}

const std::size_t kNone = std::string::npos;

template <typename Match>
std::size_t FindFirst(const std::vector<std::string>& names, Match match)
{
    const auto found = std::find_if(names.begin(), names.end(), match);
    return found == names.end() ? kNone : static_cast<std::size_t>(found - names.begin());
}

}  // namespace

// What the channel server throws, other than the tools library's error,
// and what the host's own callback throws, reach the host unchanged.
bool CDeviceConfigManagerCommon::GetOutFile(const std::string& cpuName, std::string& outFile)
{
    RefreshFromLiveSystem();
    // Each pass scans the whole cache before the next one starts.
    std::size_t index = FindCachedCpu(cpuName);
    if (index == kNone) {
        index = FindFirst(m_cpuNames, [&](const std::string& name) { return name.find(cpuName) != kNone; });
    }
    if (index == kNone) {
        index = FindFirst(m_cpuNames, [&](const std::string& name) { return MatchesByTail(name, cpuName); });
    }
    if (index == kNone) return AskHost(cpuName, outFile);
    outFile = m_outFiles[index];
    return true;
}

std::size_t CDeviceConfigManagerCommon::FindCachedCpu(const std::string& cpuName) const
{
    return FindFirst(m_cpuNames, [&](const std::string& name) { return name == cpuName; });
}

// Asks the host; an answer is kept only when it names an existing file.
bool CDeviceConfigManagerCommon::AskHost(const std::string& cpuName, std::string& outFile)
{
    std::string answer;
    if (m_pHostCallback != nullptr) m_pHostCallback->Query("Application for " + cpuName, 0, answer);
    if (answer.empty() || !k4xplatform::PathExists(answer.c_str())) return false;
    m_cpuNames.push_back(cpuName);
    m_outFiles.push_back(answer);
    outFile = answer;
    return true;
}

void CDeviceConfigManagerCommon::RefreshFromLiveSystem()
{
    if (m_pChannelServer == nullptr) return;
    try {
        std::vector<std::string> liveCpus;
        m_pChannelServer->GetLiveCpus(liveCpus);
        for (const std::string& cpu : liveCpus) {
            m_sLiveOutFile.clear();
            m_pChannelServer->GetCpuOutFile(std::string(cpu), m_sLiveOutFile);
            ZR_KDT::LogProgress("DCM: live system CPU = %s; OutFile=%s", cpu.c_str(), m_sLiveOutFile.c_str());
            const std::size_t index = FindCachedCpu(cpu);
            if (index == kNone) {
                m_cpuNames.push_back(cpu);
                m_outFiles.push_back(m_sLiveOutFile);
            } else {
                m_outFiles[index] = m_sLiveOutFile;
            }
        }
    } catch (const Zr::Kdt::Vexa::cVexaErrorIF&) {
        // The live system stopped answering: what was refreshed stays.
    }
}

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr
