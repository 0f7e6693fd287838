#pragma once

#include <windows.h>

#include <vector>

// What the measured window reports about itself: its ticks and the start of its paints.
// One per process; both window variants call it from their handlers.
class BenchRecorder {
public:
    static BenchRecorder& Instance();

    // A WM_TIMER reached the window.
    void NoteTick();
    // A paint starts; a paint that follows a tick is that tick's paint.
    void NotePaintStart();
    // Tick paints are noted only while this is on; a tick before it does not count.
    void SetRecordingTicks(bool on);

    bool HasFirstPaint() const { return m_firstPaintUs != 0; }
    ULONGLONG FirstPaintUnixUs() const { return m_firstPaintUs; }
    // Milliseconds into its second at the start of each noted tick paint.
    const std::vector<double>& TickLagsMs() const { return m_tickLagsMs; }
    // Milliseconds into its second at which each of those ticks reached the window.
    const std::vector<double>& TickArrivalsMs() const { return m_tickArrivalsMs; }
    // Every paint while tick paints were noted, theirs and any other.
    int PaintsWhileRecording() const { return m_paintsWhileRecording; }

    // Wall-clock time in microseconds since 1970, to a fraction of a millisecond.
    static ULONGLONG NowUnixUs();

private:
    BenchRecorder() = default;

    bool m_recordingTicks = false;
    bool m_tickPending = false;
    double m_tickArrivalMs = 0;
    ULONGLONG m_firstPaintUs = 0;
    std::vector<double> m_tickLagsMs;
    std::vector<double> m_tickArrivalsMs;
    int m_paintsWhileRecording = 0;
};
