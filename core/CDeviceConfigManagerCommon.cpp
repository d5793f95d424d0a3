#include "CDeviceConfigManagerCommon.h"

#include "Platform.h"

namespace Zr {
namespace Kdt {
namespace Trace {

CDeviceConfigManagerCommon::CDeviceConfigManagerCommon(DeviceDescriptor* descriptor, uint64_t hostValue)
    : m_pDescriptor(descriptor), m_nHostValue(hostValue)
{
    JoinTraceEnvironment();
}

CDeviceConfigManagerCommon::~CDeviceConfigManagerCommon() { CloseChannelServer(); }

uint64_t CDeviceConfigManagerCommon::FindProcessById(uint64_t id) { return k4xplatform::FindProcessById(id); }

void CDeviceConfigManagerCommon::SetHostCallback(CHostCallback* callback) { m_pHostCallback = callback; }

bool CDeviceConfigManagerCommon::GetDeviceInfo(uint32_t& firstNumber, uint32_t& secondNumber, std::string& name)
{
    if (m_pDescriptor == nullptr) {
        firstNumber = m_nFirstNumber;
        secondNumber = m_nSecondNumber;
        return true;
    }
    firstNumber = m_pDescriptor->firstNumber;
    secondNumber = m_pDescriptor->secondNumber;
    name = m_pDescriptor->cpuName != nullptr ? m_pDescriptor->cpuName : "";
    return true;
}

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr
