#include "app/ScreenPlace.h"

#include <algorithm>
#include <limits>

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

using Wide = unsigned long long;

// Every product below is of two extents of 32-bit edges, each below 2^32, so it fits in 64
// unsigned bits.
Wide OverlapArea(const RECT& a, const RECT& b) {
    const RECT overlap = Intersection(a, b);
    if (IsEmpty(overlap)) {
        return 0;
    }
    return static_cast<Wide>(static_cast<long long>(overlap.right) - overlap.left) *
           static_cast<Wide>(static_cast<long long>(overlap.bottom) - overlap.top);
}

// The gap between two ranges on one axis; 0 where they overlap.
Wide Gap(LONG lowA, LONG highA, LONG lowB, LONG highB) {
    return static_cast<Wide>(std::max(
        {0LL, static_cast<long long>(lowB) - highA, static_cast<long long>(lowA) - highB}));
}

// A sum of two squared gaps, exactly: it can reach 2^65, so the carry out of the low 64 bits is
// kept apart.
struct SquaredDistance {
    Wide carry;
    Wide low;

    bool operator<(const SquaredDistance& other) const {
        return carry != other.carry ? carry < other.carry : low < other.low;
    }
};

SquaredDistance Distance(const RECT& a, const RECT& b) {
    const Wide dx = Gap(a.left, a.right, b.left, b.right);
    const Wide dy = Gap(a.top, a.bottom, b.top, b.bottom);
    const Wide low = dx * dx + dy * dy;
    return {low < dx * dx ? 1ULL : 0ULL, low};
}

const Monitor& Nearest(const RECT& rect, const std::vector<Monitor>& monitors) {
    const Monitor* best = &monitors.front();
    Wide bestOverlap = OverlapArea(rect, best->area);
    SquaredDistance bestDistance = Distance(rect, best->area);
    for (const Monitor& monitor : monitors) {
        const Wide overlap = OverlapArea(rect, monitor.area);
        const SquaredDistance distance = Distance(rect, monitor.area);
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

// Whether every pixel of `rect` lies on one monitor or another.
bool LiesOnMonitors(const RECT& rect, const std::vector<Monitor>& monitors) {
    std::vector<RECT> uncovered;
    if (!IsEmpty(rect)) {
        uncovered.push_back(rect);
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

// How far the visible part stands inside the window from each of its edges. Only the part of it
// within the window can be seen; with none, the whole window stands for it.
struct Insets {
    long long left;
    long long top;
    long long right;
    long long bottom;
};

Insets InsetsOf(const RECT& window, const RECT& visible) {
    RECT seen = Intersection(window, visible);
    if (IsEmpty(seen)) {
        seen = window;
    }
    return {static_cast<long long>(seen.left) - window.left,
            static_cast<long long>(seen.top) - window.top,
            static_cast<long long>(window.right) - seen.right,
            static_cast<long long>(window.bottom) - seen.bottom};
}

// The visible part with the window at `place`, or the whole place where the insets leave none
// of it. Its edges lie within the place's, so they fit in 32 bits.
RECT VisibleAt(const RECT& place, const Insets& insets) {
    const long long left = place.left + insets.left;
    const long long top = place.top + insets.top;
    const long long right = place.right - insets.right;
    const long long bottom = place.bottom - insets.bottom;
    if (right <= left || bottom <= top) {
        return place;
    }
    return {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
            static_cast<LONG>(bottom)};
}

LONG Clamped(long long edge) {
    return static_cast<LONG>(std::clamp<long long>(edge, std::numeric_limits<LONG>::min(),
                                                   std::numeric_limits<LONG>::max()));
}

// The window around a visible part, at the insets it has.
RECT Around(const RECT& visible, const Insets& insets) {
    return {Clamped(visible.left - insets.left), Clamped(visible.top - insets.top),
            Clamped(visible.right + insets.right), Clamped(visible.bottom + insets.bottom)};
}

} // namespace

bool InSight(const RECT& user, const RECT& window, const RECT& visible,
             const std::vector<Monitor>& monitors) {
    return monitors.empty() || LiesOnMonitors(VisibleAt(user, InsetsOf(window, visible)), monitors);
}

RECT KeepInSight(const RECT& user, const RECT& window, const RECT& visible,
                 const std::vector<Monitor>& monitors) {
    if (monitors.empty()) {
        return window;
    }
    const Insets insets = InsetsOf(window, visible);
    if (!IsEmpty(user) && LiesOnMonitors(VisibleAt(user, insets), monitors)) {
        return user;
    }
    RECT seen = VisibleAt(window, insets);
    if (LiesOnMonitors(seen, monitors)) {
        return window;
    }
    const Monitor& monitor = Nearest(seen, monitors);
    // While the displays change, a work area can still be the one of the monitor's old size.
    RECT work = Intersection(monitor.work, monitor.area);
    if (IsEmpty(work)) {
        work = monitor.area;
    }
    FitAxis(seen.left, seen.right, work.left, work.right);
    FitAxis(seen.top, seen.bottom, work.top, work.bottom);
    return Around(seen, insets);
}

} // namespace ScreenPlace
