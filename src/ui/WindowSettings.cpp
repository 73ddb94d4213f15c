#include "ui/WindowSettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace przenosnik {

namespace {
// Whether both corners of the rectangle lie on a connected monitor, as a
// stored placement must.
bool cornersOnMonitors(const QRect& rect, const ScreenInfo& screen)
{
    return isOnMonitor(screen.monitors, rect.topLeft()) && isOnMonitor(screen.monitors, rect.bottomRight());
}

// Moves the window, frame included, onto the available part of the screen
// its top-left corner lies on (else its own screen), and shrinks it to that
// size, never below its minimum, when it is larger.
void keepOnScreen(QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QScreen* screen = QGuiApplication::screenAt(frame.topLeft());
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    if (available.contains(frame))
        return;
    const QSize margins = frame.size() - window->size();
    const QSize size =
        (available.size() - margins).expandedTo(window->minimumSize()).boundedTo(window->size());
    window->resize(size);
    const QSize outer = size + margins;
    const int left =
        std::max(available.left(), std::min(frame.left(), available.right() + 1 - outer.width()));
    const int top = std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - outer.height()));
    window->move(left, top);
}
} // namespace

WindowSettings::WindowSettings(QWidget* window, const QString& fileName, const QString& section,
                               StoredValueList values, bool isMainWindow, const QString& directory)
    : mWindow(window), mStore(fileName, section, directory), mValues(std::move(values)),
      mMainWindow(isMainWindow)
{
    if (window)
        window->installEventFilter(this);
}

WindowSettings::~WindowSettings()
{
    if (mWindow) {
        mWindow->removeEventFilter(this);
        if (mShown && !mSaved)
            save();
    }
}

ScreenInfo WindowSettings::currentScreen(const QWidget* window)
{
    ScreenInfo info;
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QScreen* own = window ? window->screen() : primary;
    if (primary)
        info.desktop = primary->virtualSize();
    if (own)
        info.pixelsPerInch = qRound(own->logicalDotsPerInch());
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens)
        info.monitors.append(screen->geometry());
    return info;
}

void WindowSettings::restore()
{
    if (!mWindow)
        return;
    const ScreenInfo screen = currentScreen(mWindow);
    const QRect designed = mWindow->geometry();
    const PlacementRestore decision = decidePlacement(mStore, screen, designed);
    if (!decision.restore)
        return;
    if (decision.normalGeometry) {
        const QRect rect = *decision.normalGeometry;
        mWindow->setGeometry(rect.left(), rect.top(), std::max(rect.width(), 0), std::max(rect.height(), 0));
        // The same rule for the size the window takes at this scale: its
        // minimum may be more than the stored size.
        if (!cornersOnMonitors(mWindow->geometry(), screen))
            mWindow->setGeometry(designed);
    }
    // Whatever the scale, the whole window stays on a screen.
    keepOnScreen(mWindow);
    switch (decision.state) {
    case ShowState::Normal:
        break;
    case ShowState::Maximized:
        mWindow->setWindowState((mWindow->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        break;
    case ShowState::Minimized:
        // The main window stands for the whole application: it comes back normal.
        if (mMainWindow)
            mWindow->setWindowState(Qt::WindowMinimized);
        else
            mWindow->setWindowState(mWindow->windowState() | Qt::WindowMinimized);
        break;
    }
    restoreStoredValues(mStore, mValues);
}

void WindowSettings::save()
{
    if (!mWindow || !mShown)
        return;
    PlacementSave placement;
    const Qt::WindowStates states = mWindow->windowState();
    if (states.testFlag(Qt::WindowMinimized))
        placement.state = ShowState::Minimized;
    else if (states.testFlag(Qt::WindowMaximized))
        placement.state = ShowState::Maximized;
    const ScreenInfo screen = currentScreen(mWindow);
    placement.pixelsPerInch = screen.pixelsPerInch;
    placement.desktop = screen.desktop;
    const QRect normal = mWindow->normalGeometry();
    placement.normalGeometry = normal.isValid() ? normal : mWindow->geometry();
    savePlacement(mStore, placement);
    saveStoredValues(mStore, mValues);
    mSaved = true;
}

bool WindowSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mWindow) {
        if (event->type() == QEvent::Show && !mShown) {
            mShown = true;
            restore();
        } else if (event->type() == QEvent::Hide && !event->spontaneous() && mShown) {
            save();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace przenosnik
