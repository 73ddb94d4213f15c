#include "conversion/KsefRun.h"

#include "conversion/ConversionRun.h"
#include "conversion/DocumentSource.h"
#include "conversion/KsefInvoiceBlock.h"
#include "conversion/LedgerMonths.h"
#include "conversion/RunJournal.h"
#include "ledger/DirectoryLock.h"
#include "platform/NativeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <optional>

namespace przenosnik {

namespace {

constexpr char16_t ReadFailure[] = u"błąd odczytu pliku";

// The invoices of the run, one document each.
class KsefDocuments final : public DocumentSource
{
public:
    KsefDocuments(const QList<KsefFile>& files, const QString& companyNip)
        : m_files(files), m_companyNip(companyNip)
    {
    }

    bool readNext(ConversionRun& run) override
    {
        run.cursor.reset();
        run.document.clear();
        run.documentSought = true;
        run.notSubjectNet = 0;
        if (m_next >= m_files.size()) {
            run.endOfInput = true;
            return false;
        }
        const KsefFile& file = m_files.at(m_next++);
        m_name = QFileInfo(file.path).fileName();
        if (!file.reading.invoice)
            return reject(run, file.reading.rejection);
        m_document = makeKsefDocument(*file.reading.invoice, m_companyNip);
        if (m_document.kind < 0)
            return reject(run, QStringLiteral("faktura innej firmy"));
        for (const QByteArray& line : m_document.lines)
            run.document.append(line);
        run.documentKind = m_document.kind;
        run.notSubjectNet = m_document.notSubjectNet;
        return true;
    }
    qint64 bytesRead() const override { return m_next; }
    qint64 bytesTotal() const override { return m_files.size(); }

    void beforeMapping(ConversionRun& run) override { run.trace(QStringLiteral("Plik: ") + m_name); }

    bool afterMapping(ConversionRun& run, DocumentResult& result) override
    {
        run.notSubjectNet = 0;
        if (!m_document.skipReason.isEmpty()) {
            run.trace(QStringLiteral(" * ") + m_document.skipReason +
                      QStringLiteral(" - dokument pominięty *"));
            result.remarks.append(m_document.skipReason);
        }
        for (const QString& remark : m_document.remarks) {
            if (!result.remarks.contains(remark))
                result.remarks.append(remark);
        }
        if (const QString number = ksefNumberIn(m_name); !number.isEmpty())
            result.remarks.append(QStringLiteral("KSeF: ") + number);
        return m_document.skipReason.isEmpty();
    }

private:
    bool reject(ConversionRun& run, const QString& remark)
    {
        ++run.rejected.otherKinds;
        run.rejected.files.append(RejectedFile{m_name, remark});
        return false;
    }

    const QList<KsefFile>& m_files;
    QString m_companyNip;
    qsizetype m_next = 0;
    QString m_name;
    KsefDocument m_document;
};

// What a KSeF invoice's document is: template version 3 in the "SYM 2006"
// layout with unnumbered register keys, whatever the window says.
ConversionSettings ksefSettings(const ConversionSettings& settings)
{
    ConversionSettings ksef = settings;
    ksef.sym2006 = true;
    ksef.szablon31 = true;
    return ksef;
}

// Opens a regular file (or a link to one) for reading; never a FIFO or a device.
bool openInvoiceFile(QFile& file, const QString& name)
{
    const platform::OpenedFile opened = platform::openRegularFile(
        name, platform::Access::Read, platform::Links::Follow, platform::Creation::ExistingOnly);
    return opened.handle >= 0 && file.open(opened.handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

bool beginsWithMarkup(const QString& name)
{
    QFile file;
    if (!openInvoiceFile(file, name))
        return false;
    QByteArray start = file.read(64);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    return start.trimmed().startsWith('<');
}

} // namespace

bool isKsefInput(const QString& name)
{
    if (name.isEmpty())
        return false;
    const QFileInfo info(name);
    if (info.isDir())
        return true;
    return name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) || beginsWithMarkup(name);
}

QStringList ksefFiles(const QString& name)
{
    const QFileInfo info(name);
    if (!info.isDir())
        return {name};
    const QDir folder(name);
    QStringList files;
    for (const QString& file :
         folder.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Hidden | QDir::Readable, QDir::Name))
        files.append(folder.filePath(file));
    return files;
}

KsefFile readKsefFile(const QString& path)
{
    KsefFile file;
    file.path = path;
    QFile device;
    if (!openInvoiceFile(device, path)) {
        file.reading.rejection = QString::fromUtf16(ReadFailure);
        return file;
    }
    const QByteArray bytes = device.read(MaxKsefInvoiceSize + 1);
    file.reading = readKsefInvoice(bytes);
    return file;
}

QString ksefCompanyNip(const QList<KsefFile>& files, const QString& given)
{
    if (!given.isEmpty())
        return given;
    std::optional<QSet<QString>> common;
    for (const KsefFile& file : files) {
        if (!file.reading.invoice)
            continue;
        QSet<QString> nips;
        for (const KsefParty* party : {&file.reading.invoice->seller, &file.reading.invoice->buyer}) {
            if (const QString nip = normalizedNip(party->nip); !nip.isEmpty())
                nips.insert(nip);
        }
        if (common)
            common->intersect(nips);
        else
            common = nips;
    }
    return common && common->size() == 1 ? *common->begin() : QString();
}

RunOutcome RunKsefConversion(const ConversionSettings& givenSettings, ConversionHost& host)
{
    const ConversionSettings settings = ksefSettings(givenSettings);
    QList<KsefFile> files;
    for (const QString& path : ksefFiles(settings.exportFile))
        files.append(readKsefFile(path));
    if (!QFileInfo(settings.exportFile).isDir() && files.constFirst().reading.rejection == ReadFailure) {
        host.showExportOpenFailure(exportOpenFailureText(settings.exportFile));
        return RunOutcome::ExportNotOpened;
    }
    const bool anyInvoice = std::any_of(files.cbegin(), files.cend(),
                                        [](const KsefFile& f) { return f.reading.invoice.has_value(); });
    const QString companyNip = ksefCompanyNip(files, normalizedNip(settings.companyNip));
    if (anyInvoice && companyNip.isEmpty()) {
        host.showRunRefused(QString::fromUtf16(KsefCompanyUnknownText));
        return RunOutcome::CompanyUnknown;
    }

    ConversionRun run(settings, host);
    std::optional<DirectoryLock> lock;
    if (!settings.dryRun) {
        lock.emplace(settings.companyDirectory);
        if (lock->busy()) {
            host.showRunRefused(directoryBusyText(settings.companyDirectory));
            return RunOutcome::DirectoryBusy;
        }
    }
    RunJournal journal(settings, [&run](const QString& line) { run.trace(line); });
    if (!settings.dryRun && settings.keepJournal) {
        journal.start();
        run.monthFile.setObserver(&journal);
    }

    if (settings.dryRun)
        run.trace(QStringLiteral(" *** Procedura sprawdzająca (BEZ ZAPISU ) ***"));
    int documents = 0;
    host.setDocumentCount(documents);
    run.trace(QStringLiteral("Faktury KSeF: ") + settings.exportFile);
    run.templateVersion = 3;
    run.trace(QStringLiteral(" *** Rozpoczynam konwersję ..."));
    LedgerMonths months(settings, run.monthFile, [&run](const QString& line) { run.trace(line); });
    KsefDocuments invoices(files, companyNip);
    const bool filesOk = convertDocuments(run, months, documents, invoices);
    if (run.documentSought)
        host.documentLines() = run.document.toStringList();
    const RunOutcome outcome = filesOk ? RunOutcome::Completed : RunOutcome::StoppedEarly;
    run.trace(QStringLiteral(" *** Ilość dokumentów ") + QString::number(documents));
    traceRunEnd(run);
    run.monthFile.CloseMonthFile();
    journal.finish(outcome);
    host.rejectedBlocks(run.rejected);
    return outcome;
}

} // namespace przenosnik
