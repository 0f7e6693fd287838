#pragma once

#include <windows.h>

#include <type_traits>

// Thrown by value when a window class cannot be registered or a window cannot be
// created or attached.
struct WinException {
    DWORD m_errorCode;
    const char* m_message;
};

static_assert(std::is_trivially_copyable_v<WinException>, "WinException is thrown by value");

namespace WinExceptionText {
inline constexpr char kWindowCreation[] = "Internal error:ZELWND Window Creation Failed.";
inline constexpr char kIndirectCreation[] =
    "Internal error:ZELWND Window Indirect Creation Failed.";
inline constexpr char kRegisterClass[] = "Internal error:RAZEDOZ Failed Register class";
} // namespace WinExceptionText
