// The configuration manager of a K4x device: its trace properties, their
// files and the live connection to the target. Its members live in
// K4xDeviceCfgMgr.cpp (construction, properties, error text),
// K4xConfigurationFiles.cpp (loads and saves) and K4xLiveConnection.cpp
// (the live connection); the output-file lookup, the device information and
// the trace environment are the common base's, in core/.
#pragma once

#include "CDeviceConfigManagerCommon.h"
#include "ChannelDriver.h"
#include "uDll.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace k4xformat {
struct Property;
}

class K4xDeviceCfgMgr : public Zr::Kdt::Trace::CDeviceConfigManagerCommon {
public:
    K4xDeviceCfgMgr(Zr::Kdt::Trace::DeviceDescriptor* descriptor, uint64_t hostValue);
    ~K4xDeviceCfgMgr() override;

    bool LoadConfigurationLive() override;
    bool LoadConfiguration(const std::string& fileName, int32_t fileType) override;
    bool SaveConfiguration(const std::string& fileName, uint32_t fileType) override;
    bool GetProperty(const std::string& name, Zr::Kdt::Trace::PropertyValue& value) override;
    std::string GetErrorMessage() override;
    virtual bool SetProperty(const std::string& name, const Zr::Kdt::Trace::PropertyValue& value);

    // Sets one property from its text form in an AETCONFIG payload. Unknown
    // names give false and leave the error text alone.
    bool ParsePropertyText(const std::string& name, const std::string& text);

private:
    // K4xDeviceCfgMgr.cpp. Fail keeps text as the reason of the failure and
    // returns false for the caller to return.
    bool Fail(const std::string& text);
    bool AbsorbException() noexcept;
    void StoreFromText(const k4xformat::Property& property, std::string_view text,
                       bool (*protocolOf)(std::string_view));
    std::string SettingsFileName() const;

    // K4xConfigurationFiles.cpp.
    bool LoadTextConfiguration(const char* fileName);
    bool LoadTdfConfiguration(const char* path);
    void ApplyAetConfigVersion1(const std::vector<char>& data);
    bool SaveTextConfiguration(const char* fileName);
    bool SaveTdfConfiguration(const char* path);
    std::string ValueText(const k4xformat::Property& property) const;

    // K4xLiveConnection.cpp.
    bool ConnectDriverInstance();
    bool QueryLiveTwpSource();
    void DisconnectChannelServer() noexcept;

    int32_t m_nTraceMode = 0;
    int32_t m_nEncodingMode = 0;
    int32_t m_nNumberOfAeg = 0;
    int32_t m_nMemoryMode = 0;
    int32_t m_nCemuStatus = 0;
    std::string m_sEventBit0;
    std::string m_sEventBit1;
    std::string m_sEventBit2;
    std::string m_sEventBit3;
    // The reason of the latest failure; never cleared.
    std::string m_sErrorText;
    const bool m_bCycleModeDelta = true;
    bool m_bTwp_Source = false;
    int32_t m_nSyncFrequency = 0;
    // The channel driver's server and this CPU's instance; released only
    // through the driver library, and only together.
    // Hides the base's private m_pChannelServer on purpose: that is the trace factory's server.
    Zr::Kdt::Trace::ChannelServer* m_pChannelServer = nullptr;
    Zr::Kdt::Trace::ChannelDriverInstance* m_pChannelDriverInstance = nullptr;
    ZR_KDT::uDll m_channelDriverDll{nullptr, ZR_KDT::uDll::kKeepMode};

    // The members that hold the integers and the event bits, by their slot
    // in the property table.
    static int32_t K4xDeviceCfgMgr::*const kIntegers[6];
    static std::string K4xDeviceCfgMgr::*const kEventBits[4];
};
