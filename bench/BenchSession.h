#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Where a benchmark process writes and what it measures, from its command line:
//   program DIR NAME TICKS PAINTS
// DIR is a Windows path; the files DIR\NAME.* carry the results and the hand-shakes.
struct BenchConfig {
    std::wstring dir;
    std::wstring name;
    int ticks = 60;
    int paints = 2000;
};

bool ParseBenchConfig(BenchConfig& config);

// Runs the measurements on a window that reports to BenchRecorder, in this order:
//   1. up to the first paint (start-up);
//   2. TICKS tick paints under the plain message loop (tick lag, CPU use), then NAME.ticked;
//   3. once NAME.paint exists, PAINTS timed paints, then the results in NAME.txt;
//   4. returns once NAME.exit exists, so that the peak memory can be read from outside.
// Every wait is bounded; false when one ran out.
class BenchSession {
public:
    explicit BenchSession(BenchConfig config);
    bool Run(HWND hwnd);

private:
    struct CpuSample {
        double userS;
        double kernelS;
        ULONGLONG wallUs;
    };

    static CpuSample SampleCpu();
    static ULONGLONG CreationUnixUs();
    // Runs the message loop until done() holds (checked after every message and every
    // pollMs), or until timeoutMs; returns done().
    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, UINT pollMs);
    static void Drain();
    std::vector<double> TimePaints(HWND hwnd) const;
    std::wstring PathOf(const wchar_t* suffix) const;
    void Touch(const wchar_t* suffix) const;
    bool Exists(const wchar_t* suffix) const;
    void Write(const CpuSample& before, const CpuSample& after,
               const std::vector<double>& paintsUs) const;

    BenchConfig m_config;
};
