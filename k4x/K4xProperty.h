// The fixed table of K4x trace properties: names, kinds and the members
// that hold them, in the order in which saves write them.
#pragma once

#include "K4xDeviceCfgMgr.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct K4xProperty {
    enum Kind {
        Kind_Integer,         // signed 32-bit, type code 2
        Kind_Text,            // event bits, type code 6
        Kind_Protocol,        // "TWP_Protocol", type code 5
        Kind_CycleModeDelta,  // type code 5, read-only, held by no file
    };

    std::string_view name;
    Kind kind;
    int32_t K4xDeviceCfgMgr::*integer;
    std::string K4xDeviceCfgMgr::*text;

    // The property with exactly this name (same length, same bytes), or null.
    static const K4xProperty* Find(std::string_view name);

    // The properties that files hold, in save order.
    static const K4xProperty* StoredBegin() { return table; }
    static const K4xProperty* StoredEnd() { return table + kStoredCount; }

private:
    static constexpr std::size_t kStoredCount = 11;
    static const K4xProperty table[kStoredCount + 1];
};
