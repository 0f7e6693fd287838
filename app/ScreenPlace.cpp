#include "app/ScreenPlace.h"

#include <algorithm>

namespace ScreenPlace {

namespace {

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT Intersection(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The parts of `piece` outside `cut`: at most four rectangles, none overlapping.
void Subtract(const RECT& piece, const RECT& cut, std::vector<RECT>& out) {
    const RECT overlap = Intersection(piece, cut);
    if (IsEmpty(overlap)) {
        out.push_back(piece);
        return;
    }
    const RECT parts[] = {
        {piece.left, piece.top, piece.right, overlap.top},
        {piece.left, overlap.bottom, piece.right, piece.bottom},
        {piece.left, overlap.top, overlap.left, overlap.bottom},
        {overlap.right, overlap.top, piece.right, overlap.bottom},
    };
    for (const RECT& part : parts) {
        if (!IsEmpty(part)) {
            out.push_back(part);
        }
    }
}

long long OverlapArea(const RECT& a, const RECT& b) {
    const RECT overlap = Intersection(a, b);
    if (IsEmpty(overlap)) {
        return 0;
    }
    return (static_cast<long long>(overlap.right) - overlap.left) *
           (static_cast<long long>(overlap.bottom) - overlap.top);
}

// The gap between two ranges on one axis; 0 where they overlap.
long long Gap(LONG lowA, LONG highA, LONG lowB, LONG highB) {
    return std::max(
        {0LL, static_cast<long long>(lowB) - highA, static_cast<long long>(lowA) - highB});
}

long long SquaredDistance(const RECT& a, const RECT& b) {
    const long long dx = Gap(a.left, a.right, b.left, b.right);
    const long long dy = Gap(a.top, a.bottom, b.top, b.bottom);
    return dx * dx + dy * dy;
}

const Monitor& Nearest(const RECT& window, const std::vector<Monitor>& monitors) {
    const Monitor* best = &monitors.front();
    long long bestOverlap = -1;
    long long bestDistance = 0;
    for (const Monitor& monitor : monitors) {
        const long long overlap = OverlapArea(window, monitor.area);
        const long long distance = SquaredDistance(window, monitor.area);
        if (overlap > bestOverlap ||
            (overlap == 0 && bestOverlap == 0 && distance < bestDistance)) {
            best = &monitor;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return *best;
}

// The edges [low, high) moved as little as puts them within [areaLow, areaHigh), or the whole
// of that range where they do not fit.
void FitAxis(LONG& low, LONG& high, LONG areaLow, LONG areaHigh) {
    const long long extent = static_cast<long long>(high) - low;
    if (extent >= static_cast<long long>(areaHigh) - areaLow) {
        low = areaLow;
        high = areaHigh;
        return;
    }
    const LONG start = low < areaLow     ? areaLow
                       : high > areaHigh ? static_cast<LONG>(areaHigh - extent)
                                         : low;
    low = start;
    high = static_cast<LONG>(start + extent);
}

// Whether every pixel of `window` lies on one monitor or another.
bool LiesOnMonitors(const RECT& window, const std::vector<Monitor>& monitors) {
    std::vector<RECT> uncovered;
    if (!IsEmpty(window)) {
        uncovered.push_back(window);
    }
    for (const Monitor& monitor : monitors) {
        std::vector<RECT> left;
        for (const RECT& piece : uncovered) {
            Subtract(piece, monitor.area, left);
        }
        uncovered.swap(left);
    }
    return uncovered.empty();
}

} // namespace

RECT KeepInSight(const RECT& window, const std::vector<Monitor>& monitors) {
    if (monitors.empty() || LiesOnMonitors(window, monitors)) {
        return window;
    }
    const Monitor& monitor = Nearest(window, monitors);
    // While the displays change, a work area can still be the one of the monitor's old size.
    RECT work = Intersection(monitor.work, monitor.area);
    if (IsEmpty(work)) {
        work = monitor.area;
    }
    RECT place = window;
    FitAxis(place.left, place.right, work.left, work.right);
    FitAxis(place.top, place.bottom, work.top, work.bottom);
    return place;
}

} // namespace ScreenPlace
