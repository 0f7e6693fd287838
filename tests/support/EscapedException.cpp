// GoogleTest names an exception that escapes a fixture's set-up or a test body only by its
// std::exception text; a WinException has no base class, so all it would print is "Unknown C++
// exception". This listener, in every test program, adds the WinException's message, its error
// code and the system's text for that code.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <exception>

#include "framework/WinException.h"

namespace {

class EscapedException : public testing::EmptyTestEventListener {
    // Runs as GoogleTest reports a failure; an escaped exception is still being handled then.
    void OnTestPartResult(const testing::TestPartResult& result) override {
        const std::exception_ptr escaped = std::current_exception();
        if (!result.failed() || !escaped)
            return;
        try {
            std::rethrow_exception(escaped);
        } catch (const WinException& e) {
            char text[256] = "";
            DWORD length =
                FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               e.m_errorCode, 0, text, sizeof text, nullptr);
            while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n'))
                text[--length] = '\0';
            std::printf("The exception was a WinException: \"%s\", error %lu %s\n",
                        e.m_message ? e.m_message : "(no message)",
                        static_cast<unsigned long>(e.m_errorCode), text);
            std::fflush(stdout);
        } catch (...) {
        }
    }
};

const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new EscapedException);
    return true;
}();

} // namespace
