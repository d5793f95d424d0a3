// The connection to the trace factory library and its channel server.
#include "CDeviceConfigManagerCommon.h"
#include "uLogManager.h"

namespace Zr {
namespace Kdt {
namespace Trace {

bool CDeviceConfigManagerCommon::OpenChannelServer()
{
    if (m_pChannelServer != nullptr) return true;
    ZR_KDT::LogProgress("DCM: Loading factory DLL - %s ", kTraceFactoryLibrary);
    if (m_pTraceFactory == nullptr) {
        if (!m_traceFactoryDll.FindAndLoad(kTraceFactoryLibrary, ZR_KDT::uDll::kKeepMode)) return false;
        auto create = reinterpret_cast<CreateTraceFactoryFn>(m_traceFactoryDll.GetSymbol(kCreateTraceFactoryExport));
        if (create == nullptr) {
            ZR_KDT::LogFailure("STM DCM: Cannot get Trace Facotry Dll ");
            return false;
        }
        ZR_KDT::LogProgress("STM DCM: Creating Trace factory");
        try {
            m_pTraceFactory = create();
        } catch (...) {
            ZR_KDT::LogFailure("STM DCM: Exception in creating trace factory object ");
            return false;
        }
    }
    if (m_pTraceFactory != nullptr && m_pChannelServer == nullptr) {
        try {
            m_pTraceFactory->CreateChannelServer(&m_pChannelServer, true);
            ZR_KDT::LogProgress("stm DCM: Done -creating/Connecting Channel Server ");
        } catch (...) {
            ZR_KDT::LogFailure("STM DCM: Exception in creating Channel Server ");
            return false;
        }
    }
    return m_pChannelServer != nullptr;
}

void CDeviceConfigManagerCommon::CloseChannelServer() noexcept
{
    if (m_pChannelServer == nullptr || m_pTraceFactory == nullptr) return;
    // Whatever the libraries throw here, destruction goes on.
    try {
        ZR_KDT::LogProgress("DCM: Destroying Channel Server ");
        m_pTraceFactory->DestroyChannelServer(m_pChannelServer, 0);
        m_pChannelServer = nullptr;
        auto destroy = reinterpret_cast<DestroyTraceFactoryFn>(m_traceFactoryDll.GetSymbol(kDestroyTraceFactoryExport));
        if (destroy != nullptr) destroy(m_pTraceFactory);
        m_traceFactoryDll.Unload();
    } catch (...) {
    }
}

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr
