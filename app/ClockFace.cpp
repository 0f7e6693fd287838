#include "app/ClockFace.h"

#include <climits>
#include <cwchar>

namespace ClockFace {

namespace {
// Past the turn of the second, so that the paint reads the new second.
constexpr int kTickMargin = 5;
constexpr int kDefaultX = 10;
constexpr int kDefaultY = 10;
constexpr int kDefaultWidth = 210;
constexpr int kDefaultHeight = 110;
constexpr LONG kParkedEdge = -32000;

// The distance between two edges, which a window can take as its width or height.
bool IsWindowExtent(LONG low, LONG high) {
    const long long extent = static_cast<long long>(high) - low;
    return extent > 0 && extent <= INT_MAX;
}
} // namespace

int PlanLines(DisplayType displayType, int clientHeight, LinePlan lines[2]) {
    switch (displayType) {
    case DisplayBoth:
        lines[0] = {TimeSource::Local, 0, 0};
        lines[1] = {TimeSource::Gmt, 0, clientHeight / 2};
        return 2;
    case DisplayGmtOnly:
        lines[0] = {TimeSource::Gmt, 0, 0};
        return 1;
    case DisplayLocalOnly:
        lines[0] = {TimeSource::Local, 0, 0};
        return 1;
    }
    return 0;
}

int FormatLine(wchar_t* buffer, std::size_t capacity, TimeSource source, bool withSuffix, int hour,
               int minute, int second) {
    const wchar_t* format = L"%.2d:%.2d:%.2d";
    if (withSuffix) {
        format = source == TimeSource::Local ? L"%.2d:%.2d:%.2d LOC" : L"%.2d:%.2d:%.2d GMT";
    }
    int length = std::swprintf(buffer, capacity, format, hour, minute, second);
    return length < 0 ? 0 : length;
}

float EmSize(int clientHeight) {
    return static_cast<float>((clientHeight / 2) - (clientHeight / 8));
}

int RegionOffsetY(int windowTop, int windowBottom, int bottomBorder, int clientHeight) {
    return (windowBottom - windowTop) - bottomBorder - clientHeight;
}

UINT TickDelay(int millisecondsIntoSecond) {
    return static_cast<UINT>(1000 - millisecondsIntoSecond + kTickMargin);
}

int ScaleForDpi(int pixelsAt96, UINT dpi) {
    const long long scaled = static_cast<long long>(pixelsAt96) * dpi;
    const long long half = scaled < 0 ? -USER_DEFAULT_SCREEN_DPI / 2 : USER_DEFAULT_SCREEN_DPI / 2;
    return static_cast<int>((scaled + half) / USER_DEFAULT_SCREEN_DPI);
}

RECT DefaultPlace(UINT dpi) {
    const int x = ScaleForDpi(kDefaultX, dpi);
    const int y = ScaleForDpi(kDefaultY, dpi);
    return {x, y, x + ScaleForDpi(kDefaultWidth, dpi), y + ScaleForDpi(kDefaultHeight, dpi)};
}

bool AcceptSavedRect(const RECT& rect, int virtualScreenWidth) {
    // Where Windows parks a minimized window; older versions saved that.
    const bool parked = rect.left == kParkedEdge && rect.top == kParkedEdge;
    return IsWindowExtent(rect.left, rect.right) && IsWindowExtent(rect.top, rect.bottom) &&
           rect.left < virtualScreenWidth && !parked;
}

} // namespace ClockFace
