// What a real run writes down before and after it changes the monthly files:
// the journal's records and the copies of the files as they were.
#pragma once

#include "conversion/RunConversion.h"
#include "ledger/MonthFile.h"
#include "platform/BackgroundSha256.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <vector>

namespace przenosnik {

class RunJournal : public MonthFileObserver
{
public:
    RunJournal(const ConversionSettings& settings, TraceSink trace);

    // Writes the run record. When it cannot be written, the failure is
    // reported at the first monthly file the run would open, which fails.
    void start();
    // Copies the file, then writes its record; only then may it be opened.
    bool beforeOpen(const QString& path) override;
    // Hashes what the run adds as it adds it, so that the end need not read it back.
    void appended(const QString& path, qint64 position, QByteArrayView record) override;
    // Writes the records of the end of the run, however it ended.
    void finish(RunOutcome outcome);

    const QString& runId() const { return m_runId; }

private:
    struct Touched
    {
        QString path;
        QString name;
        qint64 start = 0;
        // The records this run appended, one after the other from start;
        // once one lands elsewhere, the end reads the file instead.
        std::unique_ptr<BackgroundSha256> added = std::make_unique<BackgroundSha256>();
        qint64 addedLength = 0;
        bool inOrder = true;
    };

    bool refuse(const QString& path);
    QString newRunId() const;
    QStringList options() const;

    const ConversionSettings& m_settings;
    TraceSink m_trace;
    QString m_journal;
    QString m_runId;
    bool m_started = false;
    bool m_failed = false;
    std::vector<Touched> m_touched;
};

} // namespace przenosnik
