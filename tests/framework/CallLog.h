#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

// One virtual call a test object received: the operation and its key arguments.
struct Call {
    std::string op;
    UINT_PTR a = 0;
    UINT_PTR b = 0;
    UINT_PTR c = 0;
};

bool operator==(const Call& left, const Call& right);
std::ostream& operator<<(std::ostream& out, const Call& call);

// Which calls a test compares: an operation name, and for the two window procedures the
// message (0 matches any).
struct Watched {
    std::string op;
    UINT_PTR a = 0;
};

// The calls received in order. A test watches the operations its action is about and
// compares those with a short expected list; every other routed call is ignored.
class CallLog {
public:
    void Add(const Call& call) { m_calls.push_back(call); }
    void Watch(std::initializer_list<Watched> patterns);
    std::vector<Call> Selected() const;
    const std::vector<Call>& All() const { return m_calls; }
    bool Has(const std::string& op) const;

private:
    bool IsWatched(const Call& call) const;

    std::vector<Call> m_calls;
    std::vector<Watched> m_watched;
};

// The watched calls are exactly the expected ones; on a mismatch the whole log is printed.
testing::AssertionResult LogIs(const CallLog& log, const std::vector<Call>& expected);

// The watched calls begin with the expected ones.
testing::AssertionResult LogStartsWith(const CallLog& log, const std::vector<Call>& expected);
