// The sign is a pair of named mutexes, only ever opened and never locked: a named object lives
// while any process holds a handle to it, so it exists exactly while some copy runs, and it
// goes when the last copy ends, however it ends (a crash or a killed process too).
//
// What Windows does with the two names:
// - "Local\" is the namespace of the user's session (\Sessions\<n>\BaseNamedObjects). An
//   installer in the same session sees it, also elevated over the shoulder as another user,
//   since the session, not the user, decides the namespace.
// - "Global\" is the machine's namespace (\BaseNamedObjects), shared by every session: with
//   fast user switching or Remote Desktop another user may run the per-machine install's
//   program in a session of their own, which only this name shows the installer. Making a
//   mutex there needs no privilege (only file mappings do, outside session 0).
// A second user's copy opens the first one's mutex instead of making its own, which Windows
// allows only as far as the mutex's access list does. Made with the default list, a mutex
// admits only its maker and the system (and the administrators, if the maker ran elevated):
// the second copy would get ERROR_ACCESS_DENIED and no hold, and the sign would go with the
// first copy while the second still ran. So each mutex is made with a list that grants
// everyone SYNCHRONIZE (opening it and waiting on it), and each copy asks for no more. Where
// a name cannot be held (a sandboxed token may not reach "Global\"), the other still marks
// the copy. Wine runs every program of a prefix as one user in one session: the case of two
// users is Windows' alone.
#include <windows.h>

#include <sddl.h>

#include "running_mark.h"

namespace freqsmith {
namespace {

// Everyone may open the mutex and wait on it, and nobody may do more: a copy that could
// take it, or change its list, could hold up or hide the others.
constexpr const wchar_t* kAccessList = L"D:(A;;0x00100000;;;WD)";

HANDLE holdMutex(const wchar_t* name) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAccessList, SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    descriptor = nullptr;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  HANDLE mutex = CreateMutexExW(descriptor ? &attributes : nullptr, name, 0, SYNCHRONIZE);
  if (descriptor) LocalFree(descriptor);
  return mutex;
}

}  // namespace

RunningMark::RunningMark()
    : held_{holdMutex(kRunningMarkSessionName), holdMutex(kRunningMarkMachineName)} {}

RunningMark::~RunningMark() {
  for (void* mutex : held_) {
    if (mutex) CloseHandle(mutex);
  }
}

}  // namespace freqsmith
