#include "ui/WindowSettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace przenosnik {

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
    const PlacementRestore decision = decidePlacement(mStore, currentScreen(mWindow), mWindow->geometry());
    if (!decision.restore)
        return;
    if (decision.normalGeometry) {
        const QRect rect = *decision.normalGeometry;
        mWindow->setGeometry(rect.left(), rect.top(), std::max(rect.width(), 0), std::max(rect.height(), 0));
    }
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
