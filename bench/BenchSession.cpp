#include "bench/BenchSession.h"

#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <utility>

#include "bench/BenchRecorder.h"
#include "bench/BenchStats.h"

namespace {

constexpr DWORD kFirstPaintWaitMs = 30000;
constexpr DWORD kTickSlackMs = 30000;
constexpr DWORD kGateWaitMs = 600000;
constexpr UINT kGatePollMs = 50;
constexpr double kTargetLagMs = 20.0;
constexpr ULONGLONG kUnixEpochIn100ns = 116444736000000000ULL;

double Seconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;
}

} // namespace

// The runtime's split of the command line: the measuring programs import no shell32 for it, so
// the clock's measuring program imports what the clock does.
bool ParseBenchConfig(BenchConfig& config) {
    if (__argc != 5 || __wargv == nullptr) {
        return false;
    }
    config.dir = __wargv[1];
    config.name = __wargv[2];
    config.ticks = _wtoi(__wargv[3]);
    config.paints = _wtoi(__wargv[4]);
    return config.ticks > 0 && config.paints > 0;
}

BenchSession::BenchSession(BenchConfig config) : m_config(std::move(config)) {}

bool BenchSession::Run(HWND hwnd) {
    BenchRecorder& recorder = BenchRecorder::Instance();
    if (!PumpUntil([&] { return recorder.HasFirstPaint(); }, kFirstPaintWaitMs, 0)) {
        return false;
    }
    recorder.SetRecordingTicks(true);
    const CpuSample before = SampleCpu();
    const size_t ticks = static_cast<size_t>(m_config.ticks);
    const bool ticked = PumpUntil([&] { return recorder.TickLagsMs().size() >= ticks; },
                                  m_config.ticks * 1000 + kTickSlackMs, 0);
    const CpuSample after = SampleCpu();
    recorder.SetRecordingTicks(false);
    Touch(L".ticked");
    if (!PumpUntil([this] { return Exists(L".paint"); }, kGateWaitMs, kGatePollMs)) {
        return false;
    }
    Write(before, after, TimePaints(hwnd));
    return PumpUntil([this] { return Exists(L".exit"); }, kGateWaitMs, kGatePollMs) && ticked;
}

BenchSession::CpuSample BenchSession::SampleCpu() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return {Seconds(user), Seconds(kernel), BenchRecorder::NowUnixUs()};
}

ULONGLONG BenchSession::CreationUnixUs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER value;
    value.LowPart = created.dwLowDateTime;
    value.HighPart = created.dwHighDateTime;
    return (value.QuadPart - kUnixEpochIn100ns) / 10;
}

bool BenchSession::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, UINT pollMs) {
    const UINT_PTR watchdog = SetTimer(nullptr, 0, timeoutMs, nullptr);
    const UINT_PTR poll = pollMs ? SetTimer(nullptr, 0, pollMs, nullptr) : 0;
    MSG msg;
    while (!done()) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            break;
        }
        if (msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == watchdog) {
            break;
        }
        if (msg.hwnd == nullptr && msg.message == WM_TIMER) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KillTimer(nullptr, watchdog);
    if (poll) {
        KillTimer(nullptr, poll);
    }
    return done();
}

void BenchSession::Drain() {
    MSG msg;
    for (int i = 0; i < 100 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Each paint timed alone: invalidate, then the counter around the paint UpdateWindow runs.
// Whatever a paint leaves queued is handled between two timed paints.
std::vector<double> BenchSession::TimePaints(HWND hwnd) const {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> paintsUs;
    paintsUs.reserve(static_cast<size_t>(m_config.paints));
    for (int i = 0; i < m_config.paints; ++i) {
        Drain();
        InvalidateRect(hwnd, nullptr, TRUE);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        UpdateWindow(hwnd);
        QueryPerformanceCounter(&end);
        paintsUs.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                           static_cast<double>(frequency.QuadPart));
    }
    Drain();
    return paintsUs;
}

std::wstring BenchSession::PathOf(const wchar_t* suffix) const {
    return m_config.dir + L"\\" + m_config.name + suffix;
}

void BenchSession::Touch(const wchar_t* suffix) const {
    HANDLE file = CreateFileW(PathOf(suffix).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
}

bool BenchSession::Exists(const wchar_t* suffix) const {
    return GetFileAttributesW(PathOf(suffix).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// key=value lines; written beside and then renamed, so a reader never sees half a file.
void BenchSession::Write(const CpuSample& before, const CpuSample& after,
                         const std::vector<double>& paintsUs) const {
    const BenchRecorder& recorder = BenchRecorder::Instance();
    const std::vector<double>& lags = recorder.TickLagsMs();
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    const CpuSample now = SampleCpu();

    const std::wstring partial = PathOf(L".part");
    FILE* out = _wfopen(partial.c_str(), L"w");
    if (out == nullptr) {
        return;
    }
    std::fprintf(out, "first_paint_unix_us=%llu\n", recorder.FirstPaintUnixUs());
    std::fprintf(out, "created_unix_us=%llu\n", CreationUnixUs());
    std::fprintf(out, "ticks=%zu\n", lags.size());
    std::fprintf(out, "tick_lag_max_ms=%.2f\n", BenchStats::Max(lags));
    std::fprintf(out, "tick_lag_median_ms=%.2f\n", BenchStats::Median(lags));
    std::fprintf(out, "ticks_at_or_over_20ms=%d\n", BenchStats::CountAtLeast(lags, kTargetLagMs));
    std::fprintf(out, "tick_lags_ms=");
    for (double lag : lags) {
        std::fprintf(out, "%.1f ", lag);
    }
    std::fprintf(out, "\n");
    std::fprintf(out, "tick_arrival_median_ms=%.2f\n",
                 BenchStats::Median(recorder.TickArrivalsMs()));
    std::fprintf(out, "paints_while_ticking=%d\n", recorder.PaintsWhileRecording());
    std::fprintf(out, "tick_phase_s=%.2f\n",
                 static_cast<double>(after.wallUs - before.wallUs) / 1e6);
    std::fprintf(out, "tick_phase_cpu_user_s=%.3f\n", after.userS - before.userS);
    std::fprintf(out, "tick_phase_cpu_kernel_s=%.3f\n", after.kernelS - before.kernelS);
    std::fprintf(out, "cpu_total_s=%.3f\n", now.userS + now.kernelS);
    std::fprintf(out, "paints=%zu\n", paintsUs.size());
    std::fprintf(out, "paint_median_us=%.1f\n", BenchStats::Median(paintsUs));
    std::fprintf(out, "paint_p95_us=%.1f\n", BenchStats::Percentile(paintsUs, 0.95));
    std::fprintf(out, "peak_working_set_kb=%zu\n",
                 static_cast<size_t>(memory.PeakWorkingSetSize / 1024));
    std::fclose(out);
    MoveFileExW(partial.c_str(), PathOf(L".txt").c_str(), MOVEFILE_REPLACE_EXISTING);
}
