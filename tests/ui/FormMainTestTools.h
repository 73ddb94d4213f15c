// Helpers shared by the main window's tests.
#pragma once

#include "ui/FormMain.h"

#include <QTest>
#include <QWidget>

#include <memory>

namespace przenosnik::test {

// The named control of a window; a test cannot go on without it.
template <typename T> T* child(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found) {
        qFatal("no control %s", name);
    }
    return found;
}

// Shows a main window whose settings live in `settingsDirectory` and waits until it is usable.
inline std::unique_ptr<FormMain> openMainWindow(const QString& settingsDirectory)
{
    auto window = std::make_unique<FormMain>(settingsDirectory);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qWarning("window not active");
    }
    return window;
}

} // namespace przenosnik::test
