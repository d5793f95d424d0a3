#include "K4xProperty.h"

using M = K4xDeviceCfgMgr;

// Save order first; "CycleModeDelta" last, as no file holds it.
const K4xProperty K4xProperty::table[] = {
    {"Trace Mode", Kind_Integer, &M::m_nTraceMode, nullptr},
    {"Encoding Mode", Kind_Integer, &M::m_nEncodingMode, nullptr},
    {"Sync Frequency", Kind_Integer, &M::m_nSyncFrequency, nullptr},
    {"Number of AEG", Kind_Integer, &M::m_nNumberOfAeg, nullptr},
    {"Memory Mode", Kind_Integer, &M::m_nMemoryMode, nullptr},
    {"CEMU Status", Kind_Integer, &M::m_nCemuStatus, nullptr},
    {"Event Bit0", Kind_Text, nullptr, &M::m_sEventBit0},
    {"Event Bit1", Kind_Text, nullptr, &M::m_sEventBit1},
    {"Event Bit2", Kind_Text, nullptr, &M::m_sEventBit2},
    {"Event Bit3", Kind_Text, nullptr, &M::m_sEventBit3},
    {"TWP_Protocol", Kind_Protocol, nullptr, nullptr},
    {"CycleModeDelta", Kind_CycleModeDelta, nullptr, nullptr},
};

const K4xProperty* K4xProperty::Find(std::string_view name)
{
    for (const K4xProperty& property : table) {
        if (name == property.name) return &property;
    }
    return nullptr;
}
