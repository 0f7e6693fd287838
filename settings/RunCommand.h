#pragma once

#include <windows.h>
#include <cstddef>

// The command line kept under the Run key for the executable's path. A path with a blank is
// enclosed in double quotes, so that Windows cannot take a shorter prefix of it for the
// program (C:\Program.exe for C:\Program Files\...); any other path is kept as it is.
namespace RunCommand {
// The longest executable path kept, and room for its command: the path in quotes and the
// terminator.
inline constexpr std::size_t kMaxPathLength = 1023;
inline constexpr std::size_t kCapacity = kMaxPathLength + 3;

// Writes the command and its terminator into out, which holds capacity units. Returns false
// and leaves out empty (when it has room for the terminator) when the command does not fit.
bool Build(const wchar_t* path, wchar_t* out, std::size_t capacity);

// The byte count of a REG_SZ holding text, its terminating null included.
DWORD ByteCount(const wchar_t* text);
} // namespace RunCommand
