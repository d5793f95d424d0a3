// The live connection to the target through the channel-driver library.
#include "ChannelDriver.h"
#include "K4xDeviceCfgMgr.h"
#include "K4xErrorTexts.h"
#include "uLogManager.h"

#include <cstdlib>

using Zr::Kdt::Trace::kChannelDriverLibrary;
using Zr::Kdt::Trace::kConnectChannelServerExport;
using Zr::Kdt::Trace::kDisconnectChannelServerExport;
using Zr::Kdt::Trace::PropertyReply;

bool K4xDeviceCfgMgr::LoadConfigurationLive()
{
    if (m_pDescriptor == nullptr) return false;
    try {
        OpenChannelServer();
    } catch (...) {
        // Without the trace factory only the output-file lookup suffers.
    }
    try {
        if (m_pChannelDriverInstance == nullptr && !ConnectDriverInstance()) return false;
        if (!LoadConfiguration(SettingsFileName(), Zr::Kdt::Trace::FileType_Text)) return false;
        m_bTwp_Source = QueryLiveTwpSource();
        ZR_KDT::LogProgress("K4xDeviceCfgMgr: Live m_bTwp_Source %s.", m_bTwp_Source ? "true" : "false");
        return true;
    } catch (...) {
        return AbsorbException();
    }
}

bool K4xDeviceCfgMgr::ConnectDriverInstance()
{
    bool loaded = false;
    try {
        loaded = m_channelDriverDll.FindAndLoad(kChannelDriverLibrary, ZR_KDT::uDll::kKeepMode);
    } catch (...) {
        // An unreadable working directory ends the load like a missing file.
    }
    if (!loaded) return Fail(k4xerrortext::kCannotLoadDriver);
    auto connect = reinterpret_cast<ConnectChannelServerFn>(m_channelDriverDll.GetSymbol(kConnectChannelServerExport));
    if (connect == nullptr) return Fail(k4xerrortext::kNoDriverEntry);
    try {
        m_pChannelServer = connect();
        if (m_pChannelServer != nullptr) {
            m_pChannelServer->OpenDriverInstance(m_pDescriptor->cpuName != nullptr ? m_pDescriptor->cpuName : "",
                                                 &m_pChannelDriverInstance);
        }
    } catch (...) {
        // A driver that throws while connecting gives no instance.
    }
    if (m_pChannelDriverInstance == nullptr) return Fail(k4xerrortext::kNoDriverInstance);
    return true;
}

// The target's "TWP Source": its reply when present, the loaded value when
// the target has none, and false when asking fails.
bool K4xDeviceCfgMgr::QueryLiveTwpSource()
{
    try {
        PropertyReply reply{};
        m_pChannelDriverInstance->QueryProperty("TWP Source", &reply);
        if (reply.status != 0) return m_bTwp_Source;
        return reply.value != nullptr && std::atol(reply.value) != 0;
    } catch (...) {
        ZR_KDT::LogFailure("K4xDeviceCfgMgr LoadConfigurationLive: get TWP_SOURCE failed");
        return false;
    }
}

void K4xDeviceCfgMgr::DisconnectChannelServer() noexcept
{
    if (m_pChannelServer == nullptr) return;
    try {
        auto disconnect =
            reinterpret_cast<DisconnectChannelServerFn>(m_channelDriverDll.GetSymbol(kDisconnectChannelServerExport));
        if (disconnect == nullptr) return;
        ZR_KDT::LogProgress("K4xDeviceCfgMgr: ~K4xDeviceCfgMgr: Destroy Channel Driver DLL");
        disconnect(m_pChannelServer);
        m_pChannelServer = nullptr;
        m_pChannelDriverInstance = nullptr;
    } catch (...) {
        // The driver's failure to let go must not take the host down.
    }
}
