#include "tests/framework/CallLog.h"

#include <algorithm>
#include <sstream>

bool operator==(const Call& left, const Call& right) {
    return left.op == right.op && left.a == right.a && left.b == right.b && left.c == right.c;
}

std::ostream& operator<<(std::ostream& out, const Call& call) {
    return out << call.op << std::hex << " 0x" << call.a << " 0x" << call.b << " 0x" << call.c
               << std::dec;
}

void CallLog::Watch(std::initializer_list<Watched> patterns) {
    m_watched = patterns;
    m_calls.clear();
}

bool CallLog::IsWatched(const Call& call) const {
    return std::any_of(m_watched.begin(), m_watched.end(), [&call](const Watched& pattern) {
        return pattern.op == call.op && (pattern.a == 0 || pattern.a == call.a);
    });
}

std::vector<Call> CallLog::Selected() const {
    std::vector<Call> selected;
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(selected),
                 [this](const Call& call) { return IsWatched(call); });
    return selected;
}

bool CallLog::Has(const std::string& op) const {
    return std::any_of(m_calls.begin(), m_calls.end(),
                       [&op](const Call& call) { return call.op == op; });
}

namespace {

std::string Describe(const std::vector<Call>& calls) {
    std::ostringstream text;
    for (const Call& call : calls)
        text << "\n    " << call;
    return text.str();
}

testing::AssertionResult Mismatch(const CallLog& log, const std::vector<Call>& expected) {
    return testing::AssertionFailure()
           << "expected:" << Describe(expected) << "\n  watched:" << Describe(log.Selected())
           << "\n  whole log:" << Describe(log.All());
}

} // namespace

testing::AssertionResult LogIs(const CallLog& log, const std::vector<Call>& expected) {
    if (log.Selected() == expected)
        return testing::AssertionSuccess();
    return Mismatch(log, expected);
}

testing::AssertionResult LogStartsWith(const CallLog& log, const std::vector<Call>& expected) {
    const std::vector<Call> selected = log.Selected();
    if (selected.size() >= expected.size() &&
        std::equal(expected.begin(), expected.end(), selected.begin()))
        return testing::AssertionSuccess();
    return Mismatch(log, expected);
}
