// Where a window stands and how it is shown, as kept in its settings file.
//
// Keys, in the order a new file receives them: FormVersion, ShowCmd, Flags,
// PixelsPerInch, "MinMaxPos(WxH)", MinMaxPos, "NormPos(WxH)", NormPos, where W
// and H are the desktop size when saved. Positions are four decimal numbers
// joined by ',': the minimized x, y and maximized x, y, or the normal
// rectangle's left, top, right, bottom (right and bottom exclusive).
//
// Everything here is plain data so that it can be decided without a window.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace przenosnik {

class SettingsStore;

using PositionNumbers = std::array<int, 4>;

enum class ShowState
{
    Normal,
    Minimized,
    Maximized
};

// 1, 5, 9 normal; 2, 6, 7 minimized; 3 maximized; anything else normal.
ShowState showStateFromCommand(int showCmd);
// 1 normal, 2 minimized, 3 maximized.
int showCommandFor(ShowState state);

// "MinMaxPos(1920x1080)", "NormPos(1920x1080)".
QString minMaxPosKey(QSize desktop);
QString normPosKey(QSize desktop);

// Four numbers from "a,b,c,d"; each number that is missing or does not parse
// takes its fallback.
PositionNumbers parsePosition(QStringView text, const PositionNumbers& fallback);
QString formatPosition(const PositionNumbers& numbers);

// The value of the key for the current desktop size when the store has it,
// else that of the plain key, else nothing.
std::optional<QString> storedPosition(const SettingsStore& store, const QString& plainKey, QSize desktop);

// The screen as the window sees it now.
struct ScreenInfo
{
    QSize desktop;          // desktop size in pixels, part of the position keys
    int pixelsPerInch = 96; // current screen resolution
    QList<QRect> monitors;  // the connected monitors in desktop coordinates
};

bool isOnMonitor(const QList<QRect>& monitors, QPoint point);

// Whether a stored normal rectangle may be applied: saved at the current
// resolution, left < right, and both the top-left corner and the point
// (right - 1, bottom - 1) on a connected monitor.
bool isPlacementUsable(const PositionNumbers& normal, int storedPixelsPerInch, const ScreenInfo& screen);

// What restoring a window does.
struct PlacementRestore
{
    bool restore = false;                // false: FormVersion below 0, restore nothing at all
    std::optional<QRect> normalGeometry; // the rectangle to apply; none keeps the designed one
    PositionNumbers minMaxPosition{0, 0, 0, 0};
    int flags = 0;
    ShowState state = ShowState::Normal;
};

// Decides the restore from the stored keys. current is the window's present
// geometry; its left, top, width and height stand in for unparsable numbers of
// the normal rectangle.
PlacementRestore decidePlacement(const SettingsStore& store, const ScreenInfo& screen, const QRect& current);

// What saving a window writes.
struct PlacementSave
{
    ShowState state = ShowState::Normal;
    int flags = 0;
    int pixelsPerInch = 96;
    QSize desktop;
    PositionNumbers minMaxPosition{-1, -1, -1, -1};
    QRect normalGeometry;
};

// Writes FormVersion, ShowCmd, Flags, PixelsPerInch and both forms of both
// position keys, in that order.
void savePlacement(SettingsStore& store, const PlacementSave& placement);

// The normal rectangle as stored: left, top, right, bottom, exclusive.
PositionNumbers positionOf(const QRect& rect);

} // namespace przenosnik
