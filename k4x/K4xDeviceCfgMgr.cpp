#include "K4xDeviceCfgMgr.h"

#include "K4xErrorTexts.h"
#include "K4xProperty.h"
#include "K4xTextFormat.h"
#include "uString.h"

#include <cstdlib>
#include <cstring>
#include <new>

using Zr::Kdt::Trace::PropertyType_Boolean;
using Zr::Kdt::Trace::PropertyType_Integer;
using Zr::Kdt::Trace::PropertyType_Text;
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
        const K4xProperty* property = K4xProperty::Find(name);
        if (property == nullptr) return Fail(K4xErrorText::kInvalidPropertyName);
        switch (property->kind) {
        case K4xProperty::Kind_Integer:
            value.intValue = this->*property->integer;
            break;
        case K4xProperty::Kind_Text:
            value.type = PropertyType_Text;
            value.strValue = this->*property->text;
            break;
        case K4xProperty::Kind_Protocol:
            value.type = PropertyType_Boolean;
            StoreBoolByte(value, m_bTwp_Source);
            break;
        case K4xProperty::Kind_CycleModeDelta:
            value.type = PropertyType_Boolean;
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
        const K4xProperty* property = K4xProperty::Find(name);
        if (property == nullptr || property->kind == K4xProperty::Kind_CycleModeDelta) {
            return Fail(K4xErrorText::kInvalidPropertyName);
        }
        switch (property->kind) {
        case K4xProperty::Kind_Integer:
            this->*property->integer = value.intValue;
            break;
        case K4xProperty::Kind_Text:
            this->*property->text = value.strValue;
            break;
        case K4xProperty::Kind_Protocol:
            m_bTwp_Source = LoadBoolByte(value);
            break;
        case K4xProperty::Kind_CycleModeDelta:
            break;
        }
        return true;
    } catch (...) {
        return AbsorbException();
    }
}

bool K4xDeviceCfgMgr::ParsePropertyText(const std::string& name, const std::string& text)
{
    // In a payload only the single character 0 turns the protocol off.
    return StoreFromText(name, text, [](std::string_view value) { return value != "0"; });
}

// Stores a property that files hold from its text: integers as atoi reads
// them, event bits unchanged, the protocol flag as protocolOf reads it.
// False for a name that no file holds.
bool K4xDeviceCfgMgr::StoreFromText(std::string_view name, std::string_view text, bool (*protocolOf)(std::string_view))
{
    const K4xProperty* property = K4xProperty::Find(name);
    if (property == nullptr) return false;
    switch (property->kind) {
    case K4xProperty::Kind_Integer:
        this->*property->integer = AtoiOf(text);
        return true;
    case K4xProperty::Kind_Text:
        (this->*property->text).assign(text);
        return true;
    case K4xProperty::Kind_Protocol:
        m_bTwp_Source = protocolOf(text);
        return true;
    case K4xProperty::Kind_CycleModeDelta:
        break;
    }
    return false;
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
            Fail(K4xErrorText::kMemoryAllocation);
        } catch (...) {
            // Not even the text fits: the result alone tells.
        }
    } catch (...) {
        // Anything else has no text of its own to report.
    }
    return false;
}

// The CPU name with "/" as "-" and blanks as "_", then "-TCfg.txt"; empty
// when there is no name to build it from. Names of any length are kept
// whole: a cut name could reach another device's settings.
std::string K4xDeviceCfgMgr::SettingsFileName() const
{
    if (m_pDescriptor == nullptr || m_pDescriptor->cpuName == nullptr) return std::string();
    std::string name = m_pDescriptor->cpuName;
    ZR_KDT::uString::ReplaceAll(name, "/", "-");
    ZR_KDT::uString::ReplaceAll(name, " ", "_");
    return name + "-TCfg.txt";
}
