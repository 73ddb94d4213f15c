// How far a run has come, in the main window's status bar.
#pragma once

#include "conversion/RunConversion.h"

#include <QElapsedTimer>
#include <QString>

class QProgressBar;
class QStatusBar;

namespace przenosnik {

// When a run shows its progress: not before it has lasted showAfterMs, and
// then at most once every intervalMs.
struct ProgressTiming
{
    qint64 showAfterMs = 500;
    qint64 intervalMs = 100;
};

// Lives for one run. Once the run has lasted long enough it puts a progress
// bar into the status bar, with the share of the export file read and the
// documents converted, and lets the window repaint from time to time (user
// input stays queued meanwhile). As it goes, the bar goes and the status bar
// shows its text again.
class RunProgressDisplay
{
public:
    explicit RunProgressDisplay(QStatusBar* statusBar);
    ~RunProgressDisplay();
    RunProgressDisplay(const RunProgressDisplay&) = delete;
    RunProgressDisplay& operator=(const RunProgressDisplay&) = delete;

    // Called as often as the run likes; it decides itself when to show.
    void update(const RunProgress& progress);

    // The text beside the share: "1 dokument", "3 dokumenty", "5 dokumentów".
    static QString documentsText(int documents);

    // For tests: shorter times, so that a short run shows its progress.
    static void setTiming(const ProgressTiming& timing);
    static ProgressTiming timing();

private:
    QStatusBar* m_statusBar;
    QString m_statusText; // the status bar's text before the run
    QProgressBar* m_bar = nullptr;
    QElapsedTimer m_clock;
    qint64 m_shownAt = 0;
};

} // namespace przenosnik
