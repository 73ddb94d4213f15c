// Hints (tool tips) of one window switched on and off as a whole.
#pragma once

#include <QObject>

class QWidget;

namespace przenosnik {

// Filters the tool-tip events of every widget of one window: while hints are
// off none is shown. A hint of several lines joined by "\r\n" is shown as
// those lines.
class HintSwitch : public QObject
{
    Q_OBJECT
public:
    explicit HintSwitch(QWidget* window);
    ~HintSwitch() override;

    bool hintsOn() const { return m_on; }
    void setHintsOn(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    bool m_on = false;
};

} // namespace przenosnik
