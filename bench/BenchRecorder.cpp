#include "bench/BenchRecorder.h"

// Declared by the SDK headers only for Windows 8 and later; Wine and Windows 8+ have it.
extern "C" WINBASEAPI VOID WINAPI GetSystemTimePreciseAsFileTime(LPFILETIME time);

namespace {

// 100-nanosecond units between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG kUnixEpochIn100ns = 116444736000000000ULL;
constexpr ULONGLONG kMicrosecondsPerSecond = 1000000ULL;

double MsIntoSecond(ULONGLONG unixUs) {
    return static_cast<double>(unixUs % kMicrosecondsPerSecond) / 1000.0;
}

} // namespace

BenchRecorder& BenchRecorder::Instance() {
    static BenchRecorder recorder;
    return recorder;
}

ULONGLONG BenchRecorder::NowUnixUs() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER value;
    value.LowPart = now.dwLowDateTime;
    value.HighPart = now.dwHighDateTime;
    return (value.QuadPart - kUnixEpochIn100ns) / 10;
}

void BenchRecorder::SetRecordingTicks(bool on) {
    m_recordingTicks = on;
    m_tickPending = false;
}

void BenchRecorder::NoteTick() {
    m_tickPending = true;
    m_tickArrivalMs = MsIntoSecond(NowUnixUs());
}

void BenchRecorder::NotePaintStart() {
    const ULONGLONG now = NowUnixUs();
    if (m_firstPaintUs == 0) {
        m_firstPaintUs = now;
    }
    if (!m_recordingTicks) {
        return;
    }
    ++m_paintsWhileRecording;
    if (m_tickPending) {
        m_tickPending = false;
        m_tickLagsMs.push_back(MsIntoSecond(now));
        m_tickArrivalsMs.push_back(m_tickArrivalMs);
    }
}
