#include "K4xProperty.h"

using M = K4xDeviceCfgMgr;

// Save order first; "CycleModeDelta" last, as no file holds it.
const K4xProperty K4xProperty::table[] = {
    {"Trace Mode", Integer, &M::m_nTraceMode, nullptr},
    {"Encoding Mode", Integer, &M::m_nEncodingMode, nullptr},
    {"Sync Frequency", Integer, &M::m_nSyncFrequency, nullptr},
    {"Number of AEG", Integer, &M::m_nNumberOfAeg, nullptr},
    {"Memory Mode", Integer, &M::m_nMemoryMode, nullptr},
    {"CEMU Status", Integer, &M::m_nCemuStatus, nullptr},
    {"Event Bit0", Text, nullptr, &M::m_sEventBit0},
    {"Event Bit1", Text, nullptr, &M::m_sEventBit1},
    {"Event Bit2", Text, nullptr, &M::m_sEventBit2},
    {"Event Bit3", Text, nullptr, &M::m_sEventBit3},
    {"TWP_Protocol", Protocol, nullptr, nullptr},
    {"CycleModeDelta", CycleModeDelta, nullptr, nullptr},
};

const K4xProperty* K4xProperty::Find(std::string_view name)
{
    for (const K4xProperty& property : table) {
        if (name == property.name) return &property;
    }
    return nullptr;
}
