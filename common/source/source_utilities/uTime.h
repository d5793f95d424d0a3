// Local-time capture and strftime formatting with a millisecond field.
#pragma once

#include "Platform.h"

namespace ZR_KDT {

// Every uTime shares one time record: constructing any uTime refreshes it,
// and every accessor and Format call, on any object, reads the latest one.
class uTime {
public:
    uTime();
    virtual ~uTime();

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    // All fields of the shared record at once.
    k4xplatform::LocalTime GetRecord() const;

    // strftime patterns plus "%s" (milliseconds as three digits, "045") and
    // "%#s" (milliseconds without leading zeros, "45"). Writes at most size
    // bytes with the NUL; a pattern longer than that is cut to size less one.
    // Where the milliseconds or the strftime result do not fit into size
    // bytes, the buffer holds empty text.
    // Returns buffer, or null (nothing written) for a null buffer or a size
    // that is not positive.
    char* Format(char* buffer, int size, const char* format) const;
    // The same for a record of one's own, which no other uTime changes.
    static char* Format(const k4xplatform::LocalTime& time, char* buffer, int size, const char* format);
};

}  // namespace ZR_KDT
