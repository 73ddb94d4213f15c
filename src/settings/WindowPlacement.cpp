#include "settings/WindowPlacement.h"

#include "settings/SettingsStore.h"
#include "settings/StoredValue.h"

#include <limits>

namespace przenosnik {

namespace {

const QString FormVersionKey = QStringLiteral("FormVersion");
const QString ShowCmdKey = QStringLiteral("ShowCmd");
const QString FlagsKey = QStringLiteral("Flags");
const QString PixelsPerInchKey = QStringLiteral("PixelsPerInch");
const QString PlainMinMaxPosKey = QStringLiteral("MinMaxPos");
const QString PlainNormPosKey = QStringLiteral("NormPos");

QString sizedKey(const QString& plainKey, QSize desktop)
{
    return QStringLiteral("%1(%2x%3)").arg(plainKey).arg(desktop.width()).arg(desktop.height());
}

int storedInteger(const SettingsStore& store, const QString& key, int fallback)
{
    const std::optional<QString> text = store.value(key);
    if (!text)
        return fallback;
    return parseStoredInteger(*text).value_or(fallback);
}

} // namespace

ShowState showStateFromCommand(int showCmd)
{
    switch (showCmd) {
    case 2:
    case 6:
    case 7:
        return ShowState::Minimized;
    case 3:
        return ShowState::Maximized;
    default:
        return ShowState::Normal;
    }
}

int showCommandFor(ShowState state)
{
    switch (state) {
    case ShowState::Minimized:
        return 2;
    case ShowState::Maximized:
        return 3;
    case ShowState::Normal:
        break;
    }
    return 1;
}

QString minMaxPosKey(QSize desktop)
{
    return sizedKey(PlainMinMaxPosKey, desktop);
}

QString normPosKey(QSize desktop)
{
    return sizedKey(PlainNormPosKey, desktop);
}

PositionNumbers parsePosition(QStringView text, const PositionNumbers& fallback)
{
    PositionNumbers numbers = fallback;
    const QList<QStringView> parts = text.split(u',');
    for (qsizetype i = 0; i < qsizetype(numbers.size()) && i < parts.size(); ++i) {
        if (const std::optional<int> number = parseStoredInteger(parts[i].trimmed()))
            numbers[size_t(i)] = *number;
    }
    return numbers;
}

QString formatPosition(const PositionNumbers& numbers)
{
    return QStringLiteral("%1,%2,%3,%4").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]).arg(numbers[3]);
}

std::optional<QString> storedPosition(const SettingsStore& store, const QString& plainKey, QSize desktop)
{
    if (std::optional<QString> sized = store.value(sizedKey(plainKey, desktop)))
        return sized;
    return store.value(plainKey);
}

bool isOnMonitor(const QList<QRect>& monitors, QPoint point)
{
    for (const QRect& monitor : monitors) {
        if (monitor.contains(point))
            return true;
    }
    return false;
}

bool isPlacementUsable(const PositionNumbers& normal, int storedPixelsPerInch, const ScreenInfo& screen)
{
    const auto [left, top, right, bottom] = normal;
    // bottom - 1 must not overflow; left < right already keeps right - 1 in range.
    return storedPixelsPerInch == screen.pixelsPerInch && left < right &&
           bottom > std::numeric_limits<int>::min() && isOnMonitor(screen.monitors, QPoint(left, top)) &&
           isOnMonitor(screen.monitors, QPoint(right - 1, bottom - 1));
}

PlacementRestore decidePlacement(const SettingsStore& store, const ScreenInfo& screen, const QRect& current)
{
    PlacementRestore result;
    if (storedInteger(store, FormVersionKey, 0) < 0)
        return result;
    result.restore = true;

    result.flags = storedInteger(store, FlagsKey, 0);
    const std::optional<QString> minMax = storedPosition(store, PlainMinMaxPosKey, screen.desktop);
    const std::optional<QString> normal = storedPosition(store, PlainNormPosKey, screen.desktop);
    if (minMax || normal) {
        result.minMaxPosition = parsePosition(minMax.value_or(QString()), {0, 0, 0, 0});
        const PositionNumbers rect = parsePosition(
            normal.value_or(QString()), {current.left(), current.top(), current.width(), current.height()});
        const int pixelsPerInch = storedInteger(store, PixelsPerInchKey, screen.pixelsPerInch);
        if (isPlacementUsable(rect, pixelsPerInch, screen))
            result.normalGeometry = QRect(QPoint(rect[0], rect[1]), QPoint(rect[2] - 1, rect[3] - 1));
    }
    result.state = showStateFromCommand(storedInteger(store, ShowCmdKey, 1));
    return result;
}

void savePlacement(SettingsStore& store, const PlacementSave& placement)
{
    const QString minMax = formatPosition(placement.minMaxPosition);
    const QString normal = formatPosition(positionOf(placement.normalGeometry));
    store.setValue(FormVersionKey, formatStoredInteger(0));
    store.setValue(ShowCmdKey, formatStoredInteger(showCommandFor(placement.state)));
    store.setValue(FlagsKey, formatStoredInteger(placement.flags));
    store.setValue(PixelsPerInchKey, formatStoredInteger(placement.pixelsPerInch));
    store.setValue(minMaxPosKey(placement.desktop), minMax);
    store.setValue(PlainMinMaxPosKey, minMax);
    store.setValue(normPosKey(placement.desktop), normal);
    store.setValue(PlainNormPosKey, normal);
}

PositionNumbers positionOf(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

} // namespace przenosnik
