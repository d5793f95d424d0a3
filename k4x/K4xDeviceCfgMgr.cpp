#include "K4xDeviceCfgMgr.h"

#include "AetConfigPayload.h"
#include "K4xErrorTexts.h"
#include "K4xFileNames.h"
#include "K4xProperty.h"
#include "K4xTextFormat.h"

#include <cstring>
#include <new>

using k4xformat::Property;
using Zr::Kdt::Trace::PropertyType_Integer;
using Zr::Kdt::Trace::PropertyValue;

namespace {

// Booleans travel in the first byte of the integer field; the other three
// bytes belong to the host and are neither read nor written.
void StoreBoolByte(PropertyValue& value, bool flag)
{
    const unsigned char byte = flag ? 1 : 0;
    std::memcpy(&value.intValue, &byte, 1);
}

bool LoadBoolByte(const PropertyValue& value)
{
    unsigned char byte = 0;
    std::memcpy(&byte, &value.intValue, 1);
    return byte != 0;
}

}  // namespace

using M = K4xDeviceCfgMgr;
int32_t M::*const M::kIntegers[] = {&M::m_nTraceMode,   &M::m_nEncodingMode, &M::m_nSyncFrequency,
                                    &M::m_nNumberOfAeg, &M::m_nMemoryMode,   &M::m_nCemuStatus};
std::string M::*const M::kEventBits[] = {&M::m_sEventBit0, &M::m_sEventBit1, &M::m_sEventBit2, &M::m_sEventBit3};

K4xDeviceCfgMgr::K4xDeviceCfgMgr(Zr::Kdt::Trace::DeviceDescriptor* descriptor, uint64_t hostValue)
    : CDeviceConfigManagerCommon(descriptor, hostValue)
{
    // A device that was never configured has no settings file: the
    // defaults stay and the error text stays empty.
    const std::string settings = SettingsFileName();
    if (!settings.empty()) K4xDeviceCfgMgr::LoadConfiguration(settings, Zr::Kdt::Trace::FileType_Text);
}

K4xDeviceCfgMgr::~K4xDeviceCfgMgr() { DisconnectChannelServer(); }

// A text copied out or in, or the error text, may not fit in memory.
bool K4xDeviceCfgMgr::GetProperty(const std::string& name, PropertyValue& value)
{
    value.type = PropertyType_Integer;
    try {
        const Property* property = k4xformat::FindProperty(name);
        if (property == nullptr) return Fail(k4xerrortext::kInvalidPropertyName);
        value.type = property->type;
        switch (property->kind) {
        case Property::Kind_Integer:
            value.intValue = this->*kIntegers[property->slot];
            break;
        case Property::Kind_Text:
            value.strValue = this->*kEventBits[property->slot];
            break;
        case Property::Kind_Protocol:
            StoreBoolByte(value, m_bTwp_Source);
            break;
        case Property::Kind_CycleModeDelta:
            StoreBoolByte(value, m_bCycleModeDelta);
            break;
        }
        return true;
    } catch (...) {
        return AbsorbException();
    }
}

bool K4xDeviceCfgMgr::SetProperty(const std::string& name, const PropertyValue& value)
{
    try {
        const Property* property = k4xformat::FindStoredProperty(name);
        if (property == nullptr) return Fail(k4xerrortext::kInvalidPropertyName);
        switch (property->kind) {
        case Property::Kind_Integer:
            this->*kIntegers[property->slot] = value.intValue;
            break;
        case Property::Kind_Text:
            this->*kEventBits[property->slot] = value.strValue;
            break;
        case Property::Kind_Protocol:
            m_bTwp_Source = LoadBoolByte(value);
            break;
        case Property::Kind_CycleModeDelta:
            break;
        }
        return true;
    } catch (...) {
        return AbsorbException();
    }
}

bool K4xDeviceCfgMgr::ParsePropertyText(const std::string& name, const std::string& text)
{
    const Property* property = k4xformat::FindStoredProperty(name);
    if (property == nullptr) return false;
    StoreFromText(*property, text, k4xformat::PayloadProtocol);
    return true;
}

// Stores a property that files hold from its text: integers as atoi reads
// them, event bits unchanged, the protocol flag as protocolOf reads it.
void K4xDeviceCfgMgr::StoreFromText(const Property& property, std::string_view text,
                                    bool (*protocolOf)(std::string_view))
{
    switch (property.kind) {
    case Property::Kind_Integer:
        this->*kIntegers[property.slot] = k4xformat::AtoiOf(text);
        break;
    case Property::Kind_Text:
        (this->*kEventBits[property.slot]).assign(text);
        break;
    case Property::Kind_Protocol:
        m_bTwp_Source = protocolOf(text);
        break;
    case Property::Kind_CycleModeDelta:
        break;
    }
}

std::string K4xDeviceCfgMgr::GetErrorMessage() { return m_sErrorText; }

bool K4xDeviceCfgMgr::Fail(const std::string& text)
{
    m_sErrorText = text;
    return false;
}

// Called from a catch handler: turns the exception in flight into a failed
// result, so that nothing thrown inside reaches the host.
bool K4xDeviceCfgMgr::AbsorbException() noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        try {
            Fail(k4xerrortext::kMemoryAllocation);
        } catch (...) {
            // Not even the text fits: the result alone tells.
        }
    } catch (...) {
        // Anything else has no text of its own to report.
    }
    return false;
}

// Empty when there is no name to build it from. Names of any length are
// kept whole: a cut name could reach another device's settings.
std::string K4xDeviceCfgMgr::SettingsFileName() const
{
    if (m_pDescriptor == nullptr || m_pDescriptor->cpuName == nullptr) return std::string();
    return k4xformat::SettingsFileName(m_pDescriptor->cpuName);
}
