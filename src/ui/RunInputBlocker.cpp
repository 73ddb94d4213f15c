#include "ui/RunInputBlocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace przenosnik {

namespace {
// Whether the object is part of the modal box that is up now (a message the
// run shows): that box, and nothing else, is answered during a run.
bool inRunsOwnBox(QObject* object)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
        return false;
    }
    for (; object; object = object->parent()) {
        if (auto* widget = qobject_cast<QWidget*>(object)) {
            return widget->window() == modal;
        }
        if (auto* window = qobject_cast<QWindow*>(object)) {
            return window == modal->windowHandle();
        }
    }
    return false;
}
} // namespace

RunInputBlocker::RunInputBlocker()
{
    qApp->installEventFilter(this);
}

RunInputBlocker::~RunInputBlocker()
{
    // Whatever arrived during the run is handled now, while the filter still
    // drops it, so that no click or key of the run's time acts after it.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(this);
}

bool RunInputBlocker::isUserInput(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
        return true;
    // The window's close box; the program's own close() is not spontaneous.
    case QEvent::Close:
        return event.spontaneous();
    default:
        return false;
    }
}

bool RunInputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    if (isUserInput(*event) && !inRunsOwnBox(watched)) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace przenosnik
