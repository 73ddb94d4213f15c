#include "ui/FormMain.h"

#include "ProgramInfo.h"
#include "ui/Beep.h"
#include "ui/FileDialog.h"
#include "ui/FormSpisFirm.h"
#include "ui/HintSwitch.h"
#include "ui/LimitedLineEdit.h"
#include "ui/MessageBox.h"
#include "ui/PrintDialog.h"
#include "ui/ResultsPages.h"
#include "ui/RunInputBlocker.h"
#include "ui/RunProgressDisplay.h"
#include "ui/ToolBarImages.h"
#include "ui/TraceLog.h"
#include "ui/TraceView.h"
#include "ui/WindowFont.h"
#include "ui/WindowSettings.h"

#include "conversion/ExportCompany.h"
#include "conversion/ExportFileName.h"
#include "ledger/CompanyList.h"
#include "report/ReportFile.h"
#include "settings/MainSettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QToolBar>
#include <QVBoxLayout>

namespace przenosnik {

namespace {
constexpr int ClientWidth = 456;
constexpr int ClientHeight = 428;
constexpr int TopPanelHeight = 206;
const QPoint DesignedPosition(306, 145);

// Description and pattern pairs, separated by bars.
const QString ExportFileFilter = QStringLiteral(
    "Pliki FVS szablonu #2 i #3 \"*.txt\"|*.txt|Faktury KSeF (*.xml)|*.xml|Wszystkie pliki|*.*");
const QString CsvReportFilter = QStringLiteral("Raport CSV (*.csv)");
const QString PdfReportFilter = QStringLiteral("Raport PDF (*.pdf)");

// The report's name offered first: beside the export file, named after it.
QString suggestedReportFile(const RunReport& report)
{
    const QFileInfo exportFile(report.exportFile);
    return exportFile.absoluteDir().filePath(exportFile.completeBaseName() + QStringLiteral("_raport.csv"));
}

// Shows the wait cursor while it lives, and the normal one while a message
// box is up in between.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

class NormalCursor
{
public:
    NormalCursor() : m_waiting(QApplication::overrideCursor() != nullptr)
    {
        if (m_waiting) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~NormalCursor()
    {
        if (m_waiting) {
            QApplication::restoreOverrideCursor();
        }
    }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool m_waiting;
};
} // namespace

FormMain::FormMain(const QString& settingsDirectory, QWidget* parent)
    : QMainWindow(parent),
      m_settingsDirectory(settingsDirectory), m_documentLines{QStringLiteral("mDokument")}
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Przenosnik  | wersja " PRZENOSNIK_VERSION));
    setWindowIcon(applicationIcon());
    setFont(windowFont());

    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    auto* panelTop = new QWidget(central);
    panelTop->setObjectName(QStringLiteral("PanelTop"));
    panelTop->setFixedHeight(TopPanelHeight);
    auto* panelMain = new QWidget(central);
    panelMain->setObjectName(QStringLiteral("PanelMain"));
    centralLayout->addWidget(panelTop);
    centralLayout->addWidget(panelMain, 1);
    setCentralWidget(central);

    resize(ClientWidth, ClientHeight);
    setMinimumSize(ClientWidth, ClientHeight);
    move(DesignedPosition);

    createActions();
    createToolBar(panelTop);
    // The tool bar spans the panel whatever the window's width.
    panelTop->installEventFilter(this);
    createEdits(panelTop);
    createCodePageGroup(panelTop);
    createSymfoniaGroup(panelTop);
    createAutoFillGroup(panelTop);
    createTracePanel(panelMain);
    createStatusBar();
    setTabOrder();
    watchOptions();

    m_hints = new HintSwitch(this);
    // During a run the view is told of new lines whenever the run lets the
    // window repaint (the log's idle flush fires then); a batch only bounds
    // how many lines it is told of at once, each telling costing the view a
    // pass over all its rows.
    m_trace = std::make_unique<TraceLog>(MemoTrace, 100000);
    createSettings(settingsDirectory);
}

FormMain::~FormMain()
{
    // The settings are saved and written while the controls still exist.
    m_settings.reset();
}

ConversionSettings FormMain::conversionSettings() const
{
    ConversionSettings settings;
    settings.exportFile = FE_EPP->text();
    settings.companyDirectory = de_KPR->text();
    settings.ledgerEncoding = RB_MAZ->isChecked() ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
    settings.sym2006 = chb_Sym2006->isChecked();
    settings.szablon31 = chb_Szablon31->isChecked();
    settings.postalCode = chb_kod->isChecked();
    settings.attribute = Edit_Atrybut->text();
    settings.registerId = Edit_REJ->text();
    settings.defaultDescription = Edit_OPIS->text();
    settings.alwaysDescription = chb_def_opis->isChecked();
    settings.dryRun = ch_sprawdz->isChecked();
    settings.skipDuplicates = chb_duplikaty->isChecked();
    settings.companyNip = Edit_NIP->text();
    return settings;
}

QStringList FormMain::traceLines() const
{
    return m_trace->lines();
}

bool FormMain::hintsOn() const
{
    return m_hints->hintsOn();
}

void FormMain::appendTrace(const QString& line)
{
    if (m_running) {
        m_results.traceLine(m_trace->lineCount(), line);
    }
    m_trace->append(line);
}

void FormMain::documentResult(DocumentResult result)
{
    m_results.add(std::move(result), m_trace->lineCount());
}

void FormMain::entryLost(int ordinal)
{
    m_results.markLost(ordinal);
}

void FormMain::entryMoved(int ordinal, int position)
{
    m_results.moveEntry(ordinal, position);
}

void FormMain::rejectedBlocks(const RejectedBlocks& blocks)
{
    m_results.setRejected(blocks);
}

void FormMain::rejectedBlock(const RejectedBlock& block)
{
    m_results.addRejected(block);
}

void FormMain::journalStarted(const QString& runId)
{
    m_results.setJournalRunId(runId);
}

void FormMain::runNotice(const QString& text)
{
    m_results.addNotice(text);
}

QStringList& FormMain::documentLines()
{
    return m_documentLines;
}

void FormMain::runProgress(const RunProgress& progress)
{
    if (m_progress) {
        m_progress->update(progress);
    }
}

void FormMain::setDocumentCount(int count)
{
    m_documentCount = count;
}

void FormMain::showExportOpenFailure(const QString& message)
{
    m_trace->flush();
    NormalCursor arrow;
    MessageBox::show(this, QMessageBox::NoIcon, QApplication::applicationName(), message, QMessageBox::Ok);
}

void FormMain::showInvalidVersion(const QString& message)
{
    m_trace->flush();
    NormalCursor arrow;
    MessageBox::show(this, QMessageBox::Critical, QApplication::applicationName(), message, QMessageBox::Ok);
}

void FormMain::showRunRefused(const QString& message)
{
    m_trace->flush();
    NormalCursor arrow;
    MessageBox::show(this, QMessageBox::Warning, QStringLiteral("Przenosnik"), message, QMessageBox::Ok);
}

void FormMain::act_KonwertExecute()
{
    if (m_running) {
        return;
    }
    const InputCheck check = checkInputs(FE_EPP->text(), de_KPR->text(), ch_sprawdz->isChecked());
    if (FE_EPP->text() != check.exportFile) {
        FE_EPP->setText(check.exportFile);
    }
    switch (check.verdict) {
    case InputVerdict::FocusExportFile:
        beep();
        FE_EPP->setFocus(Qt::OtherFocusReason);
        return;
    case InputVerdict::FocusCompanyDirectory:
        beep();
        de_KPR->setFocus(Qt::OtherFocusReason);
        return;
    case InputVerdict::Run:
        break;
    }
    const bool dryRun = ch_sprawdz->isChecked();
    if (!dryRun && refuseBusyDirectory(de_KPR->text())) {
        return;
    }
    if (!dryRun && !offerUndoOfInterruptedRun(de_KPR->text())) {
        return;
    }
    QString details = confirmationDetails();
    if (!m_excluded.isEmpty() && exclusionKey() != m_exclusionKey) {
        // The export file was changed since the dry run: its numbers may name other documents.
        dropExclusions();
        details += QStringLiteral("\nPlik eksportu zmienił się od symulacji: wybór dokumentów "
                                  "do pominięcia przepadł.");
    }
    if (!dryRun && !m_excluded.isEmpty()) {
        details += QStringLiteral("\nPominięte przez użytkownika: %1").arg(m_excluded.count());
    }
    const QMessageBox::StandardButton answer =
        MessageBox::show(this, QMessageBox::Information, QStringLiteral("Start ..."),
                         QStringLiteral("Rozpocząć żmudny proces konwersji danych ?"),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No, details);
    if (answer == QMessageBox::Yes) {
        runConversion();
    }
}

QString FormMain::confirmationDetails() const
{
    // The companies, so that an export of another company shows; then what the
    // run will do, so that a mis-clicked "symulacja" shows before the answer.
    QStringList lines = companyLines(m_companyName, exportCompanyName(FE_EPP->text()));
    lines.append(ch_sprawdz->isChecked() ? QStringLiteral("Symulacja: nic nie zostanie zapisane.")
                                         : QStringLiteral("Zapis do katalogu: %1").arg(de_KPR->text()));
    return lines.join(QLatin1Char('\n'));
}

QString FormMain::companyName() const
{
    return m_companyName;
}

void FormMain::showCompanyName()
{
    const QString directory = de_KPR->text();
    const PolishEncoding encoding = RB_MAZ->isChecked() ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
    m_companyName = !m_pickedDirectory.isEmpty() && directory == m_pickedDirectory
                        ? m_pickedCompany
                        : m_companyNames.nameOf(directory, encoding);
    l_firma->setToolTip(m_companyName);
    l_firma->setText(
        l_firma->fontMetrics().elidedText(m_companyName, Qt::ElideRight, l_firma->contentsRect().width()));
}

void FormMain::runConversion()
{
    // Goes last: the input that came during the run is dropped after the
    // controls are back, so that none of it reaches them.
    RunInputBlocker blocker;
    m_running = true;
    ConversionSettings settings = conversionSettings();
    // The exclusions hold for the real run only; a dry run shows every document to choose from.
    if (!settings.dryRun) {
        settings.excludedDocuments = m_excluded;
    }
    const QString key = exclusionKey();
    tabs_Wyniki->showResults(nullptr);
    m_results.start(settings, QDateTime::currentDateTime());
    m_results.setCompanies(m_companyName, exportCompanyName(settings.exportFile));
    // The tool bar and the options stay as they are until the run ends.
    QWidget* controls = ToolBar1->parentWidget();
    const QPointer<QWidget> focused = QApplication::focusWidget();
    controls->setEnabled(false);
    m_progress = std::make_unique<RunProgressDisplay>(statusBar());
    RunOutcome outcome = RunOutcome::ExportNotOpened;
    const auto done = qScopeGuard([this, &outcome, controls, focused, &settings, &key] {
        m_trace->flush();
        m_trace->scrollToLastLine();
        mDokument->setPlainText(m_documentLines.join(QLatin1Char('\n')));
        m_progress.reset();
        controls->setEnabled(true);
        if (focused) {
            focused->setFocus(Qt::OtherFocusReason);
        }
        m_running = false;
        // A run that could not open its export file leaves no report.
        const bool reported = outcome != RunOutcome::ExportNotOpened;
        if (reported) {
            m_results.conclude(outcome);
        }
        act_Raport->setEnabled(reported);
        act_Drukuj->setEnabled(reported);
        // Chosen after a dry run, for the next real run with the same file and options.
        const bool choosing = reported && settings.dryRun;
        if (choosing) {
            if (key != m_exclusionKey) {
                m_excluded = {};
            }
            m_exclusionKey = key;
        } else if (reported && outcome != RunOutcome::DirectoryBusy) {
            // A real run that read the file used them up.
            m_excluded = {};
            m_exclusionKey.clear();
        }
        tabs_Wyniki->showResults(reported ? &m_results : nullptr, choosing, m_excluded);
        if (tabs_Wyniki->currentIndex() == ResultsPages::HistoryPageIndex) {
            tabs_Wyniki->showHistory(de_KPR->text());
        }
        if (reported && (m_results.anyNeedsAttention() || !m_results.summary().stopReason.isEmpty() ||
                         !m_results.summary().dryRunObstacles.isEmpty())) {
            tabs_Wyniki->setCurrentIndex(ResultsPages::TotalsPage);
        }
    });
    WaitCursor wait;
    outcome = RunConversion(settings, *this);
}

void FormMain::Act_FirmyKPRExecute()
{
    if (m_running) {
        return;
    }
    // Whatever goes wrong with the picker leaves the directory as it was.
    try {
        const PolishEncoding encoding = RB_MAZ->isChecked() ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
        FormSpisFirm picker(encoding, this, m_settingsDirectory);
        if (picker.exec() == FormSpisFirm::ModalResultOk) {
            // A Katalog that leads out of the list's folder names no company.
            if (const std::optional<QString> directory = picker.companyDirectory()) {
                m_pickedDirectory = *directory;
                m_pickedCompany = picker.currentFirma();
                de_KPR->setText(*directory);
                showCompanyName();
            } else {
                beep();
            }
        }
        // The picker writes its settings file as it goes out of scope.
    } catch (...) {
    }
}

void FormMain::act_HelpExecute()
{
    m_hints->setHintsOn(!m_hints->hintsOn());
    act_Help->setChecked(m_hints->hintsOn());
}

void FormMain::act_WyczyscTraceExecute()
{
    m_trace->clear();
}

void FormMain::act_RaportExecute()
{
    if (m_running || !act_Raport->isEnabled()) {
        return;
    }
    const QString start =
        m_lastReportFile.isEmpty() ? suggestedReportFile(m_results.summary()) : m_lastReportFile;
    QString selected = reportFormat(start) == ReportFormat::Pdf ? PdfReportFilter : CsvReportFilter;
    QString chosen =
        FileDialog::getSaveFileName(this, QStringLiteral("Zapisz raport z konwersji"), start,
                                    CsvReportFilter + QStringLiteral(";;") + PdfReportFilter, &selected);
    if (chosen.isEmpty()) {
        return;
    }
    // A name without either extension gets that of the chosen filter.
    if (reportFormat(chosen) == ReportFormat::Unknown) {
        chosen += selected == PdfReportFilter ? QStringLiteral(".pdf") : QStringLiteral(".csv");
    }
    QString error;
    bool written = false;
    {
        WaitCursor wait;
        written = writeReport(chosen, m_results.report(), &error);
    }
    if (!written) {
        MessageBox::show(this, QMessageBox::Warning, QApplication::applicationName(), error, QMessageBox::Ok);
        return;
    }
    m_lastReportFile = chosen;
}

void FormMain::act_DrukujExecute()
{
    if (m_running || !act_Drukuj->isEnabled()) {
        return;
    }
    PrintDialog::print(this, m_results.report(), QStringLiteral("Raport z konwersji"));
}

void FormMain::act_CloseExecute()
{
    close();
}

void FormMain::browseCompanyDirectory()
{
    const QString current = de_KPR->text();
    const QString start = QFileInfo(current).isDir() ? current : QString();
    const QString chosen = FileDialog::getExistingDirectory(this, QStringLiteral("Gdzie te dane ?"), start);
    if (!chosen.isEmpty()) {
        de_KPR->setText(QDir::toNativeSeparators(chosen));
    }
}

void FormMain::browseExportFile()
{
    // The folder of the name in the edit when it exists, else that of the
    // file chosen last.
    const QString typed = stripExportFileQuotes(FE_EPP->text().trimmed());
    QString start = m_lastExportFolder;
    if (!typed.isEmpty()) {
        const QString folder = QFileInfo(typed).absolutePath();
        if (QFileInfo(folder).isDir()) {
            start = folder;
        }
    }
    const QString chosen = FileDialog::getOpenFileName(this, QStringLiteral("Gdzież ten plik FVS ?"), start,
                                                       FileDialog::qtFilter(ExportFileFilter), nullptr,
                                                       QFileDialog::HideNameFilterDetails);
    if (chosen.isEmpty()) {
        return;
    }
    m_lastExportFolder = QDir::toNativeSeparators(QFileInfo(chosen).absolutePath());
    const QString path = QDir::toNativeSeparators(QFileInfo(ksefInputFor(chosen)).absoluteFilePath());
    FE_EPP->setText(path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path);
}

void FormMain::closeEvent(QCloseEvent* event)
{
    // A run cannot be interrupted; otherwise the close is always accepted.
    if (m_running) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool FormMain::event(QEvent* event)
{
    // The status bar shows the owner only; hovering a control does not replace it.
    if (event->type() == QEvent::StatusTip) {
        return true;
    }
    return QMainWindow::event(event);
}

bool FormMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ToolBar1->parentWidget() && event->type() == QEvent::Resize) {
        ToolBar1->resize(static_cast<QResizeEvent*>(event)->size().width(), ToolBar1->height());
    }
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Act_FirmyKPRExecute();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FormMain::createSettings(const QString& settingsDirectory)
{
    // A radio button may be unchecked by a stored value even when it is the
    // checked one of its group; the other one decides then.
    auto setRadio = [](QRadioButton* button, bool checked) {
        if (!checked && button->isChecked()) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        } else {
            button->setChecked(checked);
        }
    };
    auto checkBox = [](const char* key, QAbstractButton* box) {
        return StoredValue::boolean(
            QLatin1String(key), [box] { return box->isChecked(); }, [box](bool on) { box->setChecked(on); });
    };
    auto radio = [setRadio](const char* key, QRadioButton* button) {
        return StoredValue::boolean(
            QLatin1String(key), [button] { return button->isChecked(); },
            [button, setRadio](bool on) { setRadio(button, on); });
    };
    auto edit = [](const char* key, QLineEdit* line) {
        return StoredValue::string(
            QLatin1String(key), [line] { return line->text(); },
            [line](const QString& text) { line->setText(text); });
    };
    auto limitedEdit = [](const char* key, LimitedLineEdit* line) {
        return StoredValue::string(
            QLatin1String(key), [line] { return line->text(); },
            [line](const QString& text) { line->setStoredText(text); });
    };
    StoredValueList values{
        radio(mainkeys::Rb852, RB_852),
        radio(mainkeys::RbMaz, RB_MAZ),
        edit(mainkeys::ExportFile, FE_EPP),
        limitedEdit(mainkeys::Attribute, Edit_Atrybut),
        limitedEdit(mainkeys::Description, Edit_OPIS),
        limitedEdit(mainkeys::Register, Edit_REJ),
        checkBox(mainkeys::PostalCode, chb_kod),
        edit(mainkeys::CompanyDirectory, de_KPR),
        checkBox(mainkeys::Sym2006, chb_Sym2006),
        checkBox(mainkeys::AlwaysDescription, chb_def_opis),
        checkBox(mainkeys::Szablon31, chb_Szablon31),
        checkBox(mainkeys::Duplicates, chb_duplikaty),
    };
    m_settings = std::make_unique<WindowSettings>(this, QString::fromLatin1(MainSettingsFile),
                                                  QString::fromLatin1(MainSettingsSection), std::move(values),
                                                  true, settingsDirectory);
}

} // namespace przenosnik
