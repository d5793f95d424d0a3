// The common base of every configuration manager: the host's descriptor and
// value, and the operations that do not depend on the device family.
#pragma once

#include "DeviceConfigManager.h"

#include <cstdint>
#include <string>

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

protected:
    DeviceDescriptor* m_pDescriptor;
    // Reported by GetDeviceInfo when there is no descriptor.
    uint32_t m_nFirstNumber = 0;
    uint32_t m_nSecondNumber = 0;
    // The host's own value: kept with the object, never read.
    uint64_t m_nHostValue;
    CHostCallback* m_pHostCallback = nullptr;
};

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr
