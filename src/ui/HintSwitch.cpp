#include "ui/HintSwitch.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace przenosnik {

HintSwitch::HintSwitch(QWidget* window) : QObject(window), m_window(window)
{
    qApp->installEventFilter(this);
}

HintSwitch::~HintSwitch()
{
    qApp->removeEventFilter(this);
}

void HintSwitch::setHintsOn(bool on)
{
    m_on = on;
    if (!on) {
        QToolTip::hideText();
    }
}

bool HintSwitch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_window) {
        return false;
    }
    if (!m_on) {
        event->ignore();
        return true;
    }
    const QString tip = widget->toolTip();
    if (tip.contains(QLatin1Char('\r'))) {
        QString shown = tip;
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), shown, widget);
        return true;
    }
    return false;
}

} // namespace przenosnik
