#include "settings/AutoStart.h"

#include "settings/RegKey.h"
#include "settings/RunCommand.h"

namespace {

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Room for the longest path kept and its terminator.
constexpr DWORD kPathCapacity = RunCommand::kMaxPathLength + 1;

// The executable's full path; false when it cannot be had or does not fit in whole.
bool GetExecutablePath(WCHAR (&path)[kPathCapacity]) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetModuleFileNameW(nullptr, path, kPathCapacity);
    return length > 0 && length < kPathCapacity && GetLastError() != ERROR_INSUFFICIENT_BUFFER;
}

// The Run key is only opened: where it does not exist it is not created.
HKEY OpenRunKey() {
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_CURRENT_USER, kRunKey, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

} // namespace

bool AutoStart::Add(LPCWSTR valueName) {
    WCHAR path[kPathCapacity];
    WCHAR command[RunCommand::kCapacity];
    if (!GetExecutablePath(path) || !RunCommand::Build(path, command, RunCommand::kCapacity)) {
        return false;
    }
    RegKey run(OpenRunKey());
    if (!run) {
        return false;
    }
    return RegSetValueExW(run.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                          RunCommand::ByteCount(command)) == ERROR_SUCCESS;
}

bool AutoStart::Remove(LPCWSTR valueName) {
    RegKey run(OpenRunKey());
    if (!run) {
        return false;
    }
    return RegDeleteValueW(run.Get(), valueName) == ERROR_SUCCESS;
}
