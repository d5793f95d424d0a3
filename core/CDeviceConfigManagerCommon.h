// The common base of every configuration manager: the host's descriptor,
// the process-wide trace environment, the trace factory connection and the
// output-file lookup. Its members live in CDeviceConfigManagerCommon.cpp
// (construction, device information), TraceEnvironmentBootstrap.cpp,
// TraceFactoryConnection.cpp and OutFileLookup.cpp.
#pragma once

#include "ChannelServer.h"
#include "DeviceConfigManager.h"
#include "TraceFactory.h"
#include "uDll.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Zr {
namespace Kdt {
namespace Trace {

class CDeviceConfigManagerCommon : public CDeviceConfigManager {
public:
    CDeviceConfigManagerCommon(DeviceDescriptor* descriptor, uint64_t hostValue);
    ~CDeviceConfigManagerCommon() override;

    CDeviceConfigManagerCommon(const CDeviceConfigManagerCommon&) = delete;
    CDeviceConfigManagerCommon& operator=(const CDeviceConfigManagerCommon&) = delete;

    void SetHostCallback(CHostCallback* callback) override;
    bool GetDeviceInfo(uint32_t& firstNumber, uint32_t& secondNumber, std::string& name) override;
    bool GetOutFile(const std::string& cpuName, std::string& outFile) override;

    // id when a process with that id runs, else 0.
    static uint64_t FindProcessById(uint64_t id);

protected:
    // Connects the trace factory's channel server; true when one exists.
    // A missing working directory (source_utilities_error) passes through.
    bool OpenChannelServer();

    DeviceDescriptor* m_pDescriptor;

private:
    // Runs the bootstrap once per process and registers the log; absorbs
    // every failure.
    static void JoinTraceEnvironment() noexcept;
    static void BootstrapTraceEnvironment();
    void CloseChannelServer() noexcept;
    void RefreshFromLiveSystem();
    // Index of the exact name in the cache, or std::string::npos.
    std::size_t FindCachedCpu(const std::string& cpuName) const;
    bool AskHost(const std::string& cpuName, std::string& outFile);

    // Reported by GetDeviceInfo when there is no descriptor.
    uint32_t m_nFirstNumber = 0;
    uint32_t m_nSecondNumber = 0;
    // The host's own value: kept with the object, never read.
    uint64_t m_nHostValue;
    CHostCallback* m_pHostCallback = nullptr;
    // The output-file cache: m_outFiles[i] belongs to m_cpuNames[i]. Both
    // only grow; a name keeps its position.
    std::vector<std::string> m_cpuNames;
    std::vector<std::string> m_outFiles;
    TraceFactory* m_pTraceFactory = nullptr;
    ChannelServer* m_pChannelServer = nullptr;
    ZR_KDT::uDll m_traceFactoryDll{nullptr, ZR_KDT::uDll::kKeepMode};
    std::string m_sLiveOutFile;
};

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr
