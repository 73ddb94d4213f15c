#include "ledger/UndoText.h"

#include <QDateTime>

namespace przenosnik {

QString entriesText(int count)
{
    const int lastTwo = count % 100;
    const int last = count % 10;
    const char* word = count == 1                                                 ? "wpis"
                       : last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? "wpisy"
                                                                                  : "wpisów";
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(word));
}

QString runDateText(const QString& runId)
{
    const QDateTime time = QDateTime::fromString(runId.left(15), QStringLiteral("yyyyMMdd-HHmmss"));
    return time.isValid() ? time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) : runId;
}

QString runDescription(const JournalRun& run)
{
    return QStringLiteral("konwersja %1 z %2, plik eksportu %3")
        .arg(run.id, runDateText(run.id), run.exportFile);
}

QString historyLine(const JournalRun& run)
{
    QStringList files;
    for (const JournalFile& file : run.files)
        files.append(file.ended ? QStringLiteral("%1: %2").arg(file.name).arg(file.entries)
                                : QStringLiteral("%1: ?").arg(file.name));
    return QStringList{run.id, run.outcome(), run.exportFile,
                       files.isEmpty() ? QStringLiteral("bez wpisów") : files.join(QStringLiteral(", "))}
        .join(QLatin1Char('\t'));
}

QString nothingToUndoText(const QString& companyDirectory)
{
    return QStringLiteral("W katalogu %1 nie ma konwersji do cofnięcia.").arg(companyDirectory);
}

QString undoRefusalText(const UndoPlan& plan)
{
    return QStringLiteral("Nie można cofnąć: %1. Plik %2 %3, więc nic nie zmieniono. "
                          "Kopie plików sprzed tej konwersji: %4")
        .arg(runDescription(plan.run), plan.refusedFile, plan.refusal, plan.backupFolder);
}

QStringList undoPlanLines(const UndoPlan& plan)
{
    QStringList lines{
        plan.finishing
            ? QStringLiteral("Dokończenie przerwanego cofania: %1").arg(runDescription(plan.run))
            : QStringLiteral("Cofnięcie: %1 (%2)").arg(runDescription(plan.run), plan.run.outcome())};
    for (const UndoFile& file : plan.files) {
        QString line = QStringLiteral("  %1: do usunięcia %2")
                           .arg(file.name, entriesText(file.unchanged ? 0 : file.entries));
        if (file.remove)
            line += QStringLiteral(" (plik powstał w tej konwersji i zostanie usunięty)");
        lines.append(line);
    }
    if (!plan.run.ended && !plan.finishing)
        lines.append(
            QStringLiteral("Konwersja nie została dokończona: każdy wpis do usunięcia porównano z tym, "
                           "co zapisałaby z tego samego pliku eksportu."));
    return lines;
}

QStringList undoDoneLines(const UndoPlan& plan, const UndoResult& result)
{
    QStringList lines{result.done
                          ? QStringLiteral("Cofnięto: %1").arg(runDescription(plan.run))
                          : QStringLiteral("Cofnięto nie wszystko: %1").arg(runDescription(plan.run))};
    for (const UndoFile& file : plan.files) {
        QString line = QStringLiteral("  %1: usunięto %2")
                           .arg(file.name, entriesText(file.unchanged ? 0 : file.entries));
        if (result.removed.contains(file.name))
            line += QStringLiteral(", plik usunięty");
        if (result.left.contains(file.name))
            line += QStringLiteral(", pliku nie dało się usunąć (pozostał pusty)");
        lines.append(line);
    }
    return lines;
}

QString undoFailureText(const UndoPlan& plan, const UndoResult& result)
{
    return QStringLiteral("Nie udało się cofnąć: %1: %2. Kopie plików sprzed tej konwersji: %3")
        .arg(runDescription(plan.run), result.failure, plan.backupFolder);
}

} // namespace przenosnik
