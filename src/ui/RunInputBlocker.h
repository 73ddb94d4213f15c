// Keeps the user's input away from the program while a run holds the window.
#pragma once

#include <QObject>

class QWidget;

namespace przenosnik {

// While it lives, an application event filter drops every input the user
// gives: mouse, wheel, keys, shortcuts, touch, tablet, context menus, drops,
// input-method text and closing a window. Only a message box the run itself
// shows takes input. Input is not put off until after the run: as the
// blocker goes, it handles every event still queued, dropping what is input,
// and only then takes the filter away.
class RunInputBlocker : public QObject
{
    Q_OBJECT
public:
    RunInputBlocker();
    ~RunInputBlocker() override;
    RunInputBlocker(const RunInputBlocker&) = delete;
    RunInputBlocker& operator=(const RunInputBlocker&) = delete;

    // Whether an event of this type is the user's input.
    static bool isUserInput(const QEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace przenosnik
