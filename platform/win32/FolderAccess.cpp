// Win32 backend of who may write a folder, by the allowing entries of its
// access list.
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include "HostPlatform.h"

namespace k4xplatform {

namespace {

// Everyone, Authenticated Users or Users: the accounts that stand for
// every user of the machine.
bool AnyUser(PSID sid)
{
    for (const WELL_KNOWN_SID_TYPE type : {WinWorldSid, WinAuthenticatedUserSid, WinBuiltinUsersSid}) {
        BYTE known[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof known;
        if (::CreateWellKnownSid(type, nullptr, known, &size) && ::EqualSid(sid, known)) return true;
    }
    return false;
}

// Denying entries are not weighed: an allowing one is enough to warn.
bool AnyUserMayAddFiles(ACL& list)
{
    constexpr ACCESS_MASK kAddFile = FILE_ADD_FILE | GENERIC_WRITE | GENERIC_ALL;
    for (DWORD i = 0; i < list.AceCount; ++i) {
        void* entry = nullptr;
        if (!::GetAce(&list, i, &entry)) continue;
        const ACE_HEADER& header = *static_cast<ACE_HEADER*>(entry);
        if (header.AceType != ACCESS_ALLOWED_ACE_TYPE || (header.AceFlags & INHERIT_ONLY_ACE) != 0) continue;
        ACCESS_ALLOWED_ACE& allowed = *static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if ((allowed.Mask & kAddFile) != 0 && AnyUser(&allowed.SidStart)) return true;
    }
    return false;
}

}  // namespace

FolderWriters WhoMayWrite(const char* folder)
{
    if (folder == nullptr) return FolderWriters_Unknown;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoA(folder, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list, nullptr,
                                &descriptor) != ERROR_SUCCESS) {
        return FolderWriters_Unknown;
    }
    // No list at all lets everyone in.
    const bool others = list == nullptr || AnyUserMayAddFiles(*list);
    ::LocalFree(descriptor);
    return others ? FolderWriters_Others : FolderWriters_Trusted;
}

}  // namespace k4xplatform
