#include "conversion/RunReplay.h"

#include "conversion/ExportDigest.h"
#include "ledger/JournalRecord.h"
#include "ledger/LedgerEntry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace przenosnik {

namespace {

// A host that lets the run go by unseen.
class SilentHost : public ConversionHost
{
public:
    void appendTrace(const QString&) override {}
    QStringList& documentLines() override { return m_document; }
    void setDocumentCount(int) override {}
    void showExportOpenFailure(const QString&) override {}
    void showInvalidVersion(const QString&) override {}
    void showRunRefused(const QString&) override {}
    bool wantsDocumentResults() const override { return false; }

private:
    QStringList m_document;
};

// Whether the input is still the one the run read: its size and SHA-256.
bool sameExport(const JournalRun& run)
{
    const ExportDigest digest = digestOfExport(run.exportFile);
    return !digest.sha256.isEmpty() && digest.size == run.exportSize && digest.sha256 == run.exportSha256;
}

} // namespace

std::optional<ConversionSettings> settingsFromOptions(const QStringList& options)
{
    QHash<QString, QString> values;
    for (const QString& option : options) {
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (equals > 0)
            values.insert(option.left(equals), option.mid(equals + 1));
    }
    const QStringList flags{"sym2006", "szablon31", "postal-code", "always-description", "skip-duplicates"};
    const QStringList texts{"codepage", "attribute", "register", "description"};
    for (const QString& key : flags + texts) {
        if (!values.contains(key))
            return std::nullopt;
    }
    for (const QString& key : flags) {
        if (values.value(key) != QLatin1String("0") && values.value(key) != QLatin1String("1"))
            return std::nullopt;
    }
    const QString codepage = values.value(QStringLiteral("codepage"));
    if (codepage != QLatin1String("maz") && codepage != QLatin1String("852"))
        return std::nullopt;
    auto flag = [&values](const char* key) { return values.value(QLatin1String(key)) == QLatin1String("1"); };
    ConversionSettings settings;
    settings.ledgerEncoding =
        codepage == QLatin1String("maz") ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
    settings.sym2006 = flag("sym2006");
    settings.szablon31 = flag("szablon31");
    settings.postalCode = flag("postal-code");
    settings.alwaysDescription = flag("always-description");
    settings.skipDuplicates = flag("skip-duplicates");
    settings.attribute = values.value(QStringLiteral("attribute"));
    settings.registerId = values.value(QStringLiteral("register"));
    settings.defaultDescription = values.value(QStringLiteral("description"));
    // Written down since runs could leave documents out and name the company's NIP.
    const QString excluded = values.value(QStringLiteral("skip-documents"));
    if (!excluded.isEmpty()) {
        const std::optional<DocumentSelection> selection = DocumentSelection::parse(excluded);
        if (!selection)
            return std::nullopt;
        settings.excludedDocuments = *selection;
    }
    settings.companyNip = values.value(QStringLiteral("nip"));
    settings.dryRun = false;
    settings.keepJournal = false;
    return settings;
}

ReplayedRun replayRun(const JournalRun& run, const QHash<QString, QByteArray>& filesBefore)
{
    ReplayedRun replayed;
    std::optional<ConversionSettings> settings = settingsFromOptions(run.options);
    if (!settings) {
        replayed.failure = QStringLiteral("dziennik nie podaje wszystkich ustawień konwersji");
        return replayed;
    }
    QTemporaryDir scratch;
    const QString company = scratch.filePath(QStringLiteral("firma"));
    if (!scratch.isValid() || !QDir().mkpath(company)) {
        replayed.failure = QStringLiteral("nie można utworzyć katalogu tymczasowego");
        return replayed;
    }
    const QString changedExport =
        QStringLiteral("plik eksportu %1 zmienił się albo go nie ma").arg(run.exportFile);
    if (!sameExport(run)) {
        replayed.failure = changedExport;
        return replayed;
    }
    settings->exportFile = run.exportFile;
    for (auto file = filesBefore.cbegin(); file != filesBefore.cend(); ++file) {
        QFile copy(company + QLatin1Char('/') + file.key());
        // Nobody else writes the private copy: a partial entry in it is a left-over one, which the
        // replayed run replaces at once, as the run did, instead of waiting for it to complete.
        if (!copy.open(QIODevice::WriteOnly) || copy.write(file.value()) != file.value().size() ||
            !copy.flush() ||
            !copy.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                              QFileDevice::FileModificationTime)) {
            replayed.failure = QStringLiteral("nie można zapisać katalogu tymczasowego");
            return replayed;
        }
    }
    settings->companyDirectory = company;
    SilentHost host;
    RunConversion(*settings, host);
    if (!sameExport(run)) { // changed while it was read
        replayed.failure = changedExport;
        return replayed;
    }
    for (const JournalFile& file : run.files) {
        QFile written(company + QLatin1Char('/') + file.name);
        if (written.open(QIODevice::ReadOnly) && written.seek(file.start()))
            replayed.written.insert(file.name, written.readAll());
    }
    return replayed;
}

UndoPlan planUndoOfLastRun(const QString& companyDirectory, const JournalContents& journal)
{
    return planUndo(companyDirectory, journal, replayRun);
}

} // namespace przenosnik
