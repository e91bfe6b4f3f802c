// The two token routes of unelevated_start.h, and the elevation test that
// every route and the starter use.
#include <windows.h>
// winsafer.h needs windows.h first.
#include <winsafer.h>

#include "platform/unique_owner.h"
#include "platform/win32/common/unique_handle.h"
#include "platform/win32/system/unelevated_start.h"

namespace velmora::platform::win32 {
namespace {

using UniqueSaferLevel = UniqueOwner<NullHandleTraits<SAFER_LEVEL_HANDLE, &::SaferCloseLevel>>;

// Starts the command line under the token, suspended, and lets it run only
// once its own token shows it is not elevated: a platform that gives the
// process another token than the one asked for, or a token computation
// that hands back this process's own, must not turn this into an elevated
// start.
bool StartUnelevatedUnder(HANDLE token, const std::wstring& commandLine) {
    std::wstring writable = commandLine;
    STARTUPINFOW startup = ShownNormally();
    PROCESS_INFORMATION started{};
    if (!::CreateProcessAsUserW(token, nullptr, writable.data(), nullptr, nullptr, FALSE,
                                CREATE_SUSPENDED, nullptr, nullptr, &startup, &started)) {
        return false;
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    if (!ProcessIsElevated(process.get()) &&
        ::ResumeThread(thread.get()) != static_cast<DWORD>(-1)) {
        return true;
    }
    // Not one instruction of the program has run yet; should ending it fail,
    // it stays suspended, never resumed.
    static_cast<void>(::TerminateProcess(process.get(), ERROR_ACCESS_DENIED));
    return false;
}

}  // namespace

bool ProcessIsElevated(HANDLE process) {
    UniqueHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return !::OpenProcessToken(process, TOKEN_QUERY, token.put()) ||
           !::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation,
                                  &size) ||
           elevation.TokenIsElevated != 0;
}

bool StartWithNormalUserToken(const std::wstring& commandLine, const CommandLineParts&) {
    UniqueSaferLevel level;
    if (!::SaferCreateLevel(SAFER_SCOPEID_USER, SAFER_LEVELID_NORMALUSER, SAFER_LEVEL_OPEN,
                            level.put(), nullptr)) {
        return false;
    }
    UniqueHandle token;
    if (!::SaferComputeTokenFromLevel(level.get(), nullptr, token.put(), 0, nullptr)) return false;
    // The computed token keeps this process's high integrity level; the
    // user's own programs run at medium.
    SID medium{
        SID_REVISION, 1, SECURITY_MANDATORY_LABEL_AUTHORITY, {SECURITY_MANDATORY_MEDIUM_RID}};
    TOKEN_MANDATORY_LABEL label{{&medium, SE_GROUP_INTEGRITY}};
    if (!::SetTokenInformation(token.get(), TokenIntegrityLevel, &label,
                               sizeof label + ::GetLengthSid(&medium))) {
        return false;
    }
    return StartUnelevatedUnder(token.get(), commandLine);
}

bool StartWithLinkedToken(const std::wstring& commandLine, const CommandLineParts&) {
    UniqueHandle own;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, own.put())) return false;
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!::GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size)) {
        return false;
    }
    const UniqueHandle linkedToken(linked.LinkedToken);
    // The linked token comes as an impersonation token; a process needs a
    // primary one.
    UniqueHandle primary;
    if (!::DuplicateTokenEx(linkedToken.get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation,
                            TokenPrimary, primary.put())) {
        return false;
    }
    return StartUnelevatedUnder(primary.get(), commandLine);
}

}  // namespace velmora::platform::win32
