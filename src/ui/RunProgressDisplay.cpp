#include "ui/RunProgressDisplay.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QStatusBar>

namespace przenosnik {

namespace {
ProgressTiming currentTiming;
// The bar counts in tenths of a per cent, whatever the size of the file.
constexpr int BarSteps = 1000;
} // namespace

RunProgressDisplay::RunProgressDisplay(QStatusBar* statusBar)
    : m_statusBar(statusBar), m_statusText(statusBar->currentMessage())
{
    m_clock.start();
}

RunProgressDisplay::~RunProgressDisplay()
{
    if (m_bar) {
        m_statusBar->removeWidget(m_bar);
        delete m_bar;
        m_statusBar->showMessage(m_statusText);
    }
}

void RunProgressDisplay::update(const RunProgress& progress)
{
    const qint64 elapsed = m_clock.elapsed();
    if (elapsed < currentTiming.showAfterMs || (m_bar && elapsed - m_shownAt < currentTiming.intervalMs)) {
        return;
    }
    if (!m_bar) {
        m_bar = new QProgressBar(m_statusBar);
        m_bar->setObjectName(QStringLiteral("pb_Postep"));
        m_bar->setRange(0, BarSteps);
        m_bar->setTextVisible(true);
        m_bar->setAlignment(Qt::AlignCenter);
        // A temporary message would hide the bar.
        m_statusBar->clearMessage();
        m_statusBar->addWidget(m_bar, 1);
        m_bar->show();
    }
    const qint64 total = qMax<qint64>(1, progress.bytesTotal);
    const qint64 read = qBound<qint64>(0, progress.bytesRead, total);
    m_bar->setValue(int(read * BarSteps / total));
    m_bar->setFormat(QStringLiteral("%p% · ") + documentsText(progress.documents));
    // Paints what changed; user input waits for the end of the run (and is dropped there).
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_shownAt = m_clock.elapsed();
}

QString RunProgressDisplay::documentsText(int documents)
{
    const int lastTwo = documents % 100;
    const int last = documents % 10;
    const char* word = "dokumentów";
    if (documents == 1) {
        word = "dokument";
    } else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) {
        word = "dokumenty";
    }
    return QStringLiteral("%1 %2").arg(documents).arg(QString::fromUtf8(word));
}

void RunProgressDisplay::setTiming(const ProgressTiming& timing)
{
    currentTiming = timing;
}

ProgressTiming RunProgressDisplay::timing()
{
    return currentTiming;
}

} // namespace przenosnik
