// Keeps a window's placement and stored control values in its settings file.
//
// Usage: make it the LAST member of the window class, so that it is destroyed
// first, while the window and its controls still exist:
//
//     WindowSettings mSettings{this, QStringLiteral("SPISCFG.INI"), QStringLiteral("SPISFIRM"),
//         {StoredValue::string(QStringLiteral("FilenameEdit_FileName"),
//              [this] { return mFileName->text(); },
//              [this](const QString& text) { mFileName->setText(text); })},
//         false};
//
// The file is read at construction. At the window's first showing the
// placement and then the values are restored, in list order. When the window is
// closed (hidden after having been shown) everything is saved into memory; at
// destruction it is saved once more if it never was, and the file is written.
// A window that was never shown saves nothing. Tests pass a directory; by
// default the file lives next to the program.
#pragma once

#include "settings/SettingsStore.h"
#include "settings/StoredValue.h"
#include "settings/WindowPlacement.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace przenosnik {

class WindowSettings : public QObject
{
    Q_OBJECT

public:
    // isMainWindow: a stored minimized state minimizes the application; for
    // another window it minimizes that window.
    WindowSettings(QWidget* window, const QString& fileName, const QString& section, StoredValueList values,
                   bool isMainWindow, const QString& directory = {});
    ~WindowSettings() override;

    // Both run by themselves; callable by hand, e.g. to save before a window is hidden.
    void restore();
    void save();

    bool wasShown() const { return mShown; }
    bool wasSaved() const { return mSaved; }
    SettingsStore& store() { return mStore; }

    // The screen as the window would see it now.
    static ScreenInfo currentScreen(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> mWindow;
    SettingsStore mStore;
    StoredValueList mValues;
    bool mMainWindow = false;
    bool mShown = false;
    bool mSaved = false;
};

} // namespace przenosnik
