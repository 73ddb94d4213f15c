// The main window: the options of a conversion, the tool bar that starts it,
// the trace log it writes into and the owner's status bar.
#pragma once

#include "conversion/RunConversion.h"
#include "ledger/CompanyList.h"
#include "ui/RunResults.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QToolBar;

namespace przenosnik {

class HintSwitch;
class LimitedLineEdit;
class ResultsPages;
class RunProgressDisplay;
class TraceLog;
class TraceView;
struct UndoPlan;
class WindowSettings;

class FormMain : public QMainWindow, public ConversionHost
{
    Q_OBJECT
public:
    // The settings file PRZENOSN.INI and the picker's settings file are kept in
    // settingsDirectory; empty means the program's own directory.
    explicit FormMain(const QString& settingsDirectory = {}, QWidget* parent = nullptr);
    ~FormMain() override;

    // The options of a run as the controls now hold them.
    ConversionSettings conversionSettings() const;
    // The number of documents mapped by the current or last run (Dokumentow).
    int documentCount() const { return m_documentCount; }
    // The trace log's lines.
    QStringList traceLines() const;
    bool hintsOn() const;
    bool isRunning() const { return m_running; }

    // ConversionHost: a run reports into this window.
    void appendTrace(const QString& line) override;
    QStringList& documentLines() override;
    void setDocumentCount(int count) override;
    void showExportOpenFailure(const QString& message) override;
    void showInvalidVersion(const QString& message) override;
    void showRunRefused(const QString& message) override;
    void documentResult(DocumentResult result) override;
    void entryLost(int ordinal) override;
    void entryMoved(int ordinal, int position) override;
    void rejectedBlocks(const RejectedBlocks& blocks) override;
    void rejectedBlock(const RejectedBlock& block) override;
    void journalStarted(const QString& runId) override;
    void runNotice(const QString& text) override;
    void runProgress(const RunProgress& progress) override;

    // The company's name that the window shows under de_KPR; empty when none is known.
    QString companyName() const;

    // What the last run reported; empty before the first run.
    RunReport lastReport() const { return m_results.report(); }
    // The documents the next real run leaves out, as chosen after a dry run.
    const DocumentSelection& excludedDocuments() const { return m_excluded; }

public Q_SLOTS:
    void act_KonwertExecute();
    void act_CofnijExecute();
    void Act_FirmyKPRExecute();
    void act_HelpExecute();
    void act_WyczyscTraceExecute();
    void act_RaportExecute();
    void act_DrukujExecute();
    void act_CloseExecute();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createToolBar(QWidget* panelTop);
    void createEdits(QWidget* panelTop);
    void createCodePageGroup(QWidget* panelTop);
    void createSymfoniaGroup(QWidget* panelTop);
    void createAutoFillGroup(QWidget* panelTop);
    // "NIP firmy" of KSeF invoices, kept for each company directory.
    void createNipField(QWidget* group);
    void showStoredCompanyNip();
    // A KSeF invoice chosen in the file dialog: the whole folder when the user says so.
    QString ksefInputFor(const QString& chosenFile);
    void createTracePanel(QWidget* panelMain);
    void createStatusBar();
    void setTabOrder();
    void createSettings(const QString& settingsDirectory);

    void browseCompanyDirectory();
    void browseExportFile();
    void runConversion();
    // Looks up the name of the company of de_KPR and shows it.
    void showCompanyName();
    // The text of the confirmation's details: the companies, and what the run will do.
    QString confirmationDetails() const;
    // Before a real run: when the directory's last run did not end, offers to
    // take it back first. Answers false when the user cancels.
    bool offerUndoOfInterruptedRun(const QString& companyDirectory);
    void undoRun(const QString& companyDirectory, const UndoPlan& plan);
    // Another run holds the directory: says so and answers true.
    bool refuseBusyDirectory(const QString& companyDirectory);
    // What the exclusions hold for: the export file as it is on the disk and
    // every option of a run but "symulacja".
    QString exclusionKey() const;
    // An option changed: the exclusions chosen for other options go.
    void optionsChanged();
    void dropExclusions();
    void watchOptions();

    // Tool bar
    QToolBar* ToolBar1 = nullptr;
    QAction* act_Konwert = nullptr;
    QAction* act_Cofnij = nullptr;
    QAction* Act_FirmyKPR = nullptr;
    QAction* act_Help = nullptr;
    QAction* act_WyczyscTrace = nullptr;
    QAction* act_Raport = nullptr;
    QAction* act_Drukuj = nullptr;
    QAction* act_Close = nullptr;
    QCheckBox* ch_sprawdz = nullptr;
    // Top panel
    QLabel* Label1 = nullptr;
    QLabel* l_firma = nullptr; // the name of the company of de_KPR
    QLineEdit* de_KPR = nullptr;
    QLineEdit* FE_EPP = nullptr;
    QGroupBox* gb_KPR = nullptr;
    QRadioButton* RB_852 = nullptr;
    QRadioButton* RB_MAZ = nullptr;
    QCheckBox* chb_duplikaty = nullptr;
    QGroupBox* gb_Symfonia = nullptr;
    QCheckBox* chb_Szablon31 = nullptr;
    QCheckBox* chb_Sym2006 = nullptr;
    QGroupBox* gb_Autouzupelnianie = nullptr;
    LimitedLineEdit* Edit_Atrybut = nullptr;
    LimitedLineEdit* Edit_REJ = nullptr;
    LimitedLineEdit* Edit_OPIS = nullptr;
    QCheckBox* chb_def_opis = nullptr;
    QCheckBox* chb_kod = nullptr;
    QLineEdit* Edit_NIP = nullptr;
    QPlainTextEdit* mDokument = nullptr;
    // Trace and results
    ResultsPages* tabs_Wyniki = nullptr;
    TraceView* MemoTrace = nullptr;

    QString m_settingsDirectory;
    HintSwitch* m_hints = nullptr;
    std::unique_ptr<TraceLog> m_trace;
    std::unique_ptr<WindowSettings> m_settings;
    QStringList m_documentLines;
    QString m_lastExportFolder;
    QString m_lastReportFile;
    // The company last chosen in the picker, and its directory: the name
    // stands while de_KPR holds that directory.
    QString m_pickedDirectory;
    QString m_pickedCompany;
    QString m_companyName;
    CompanyNameLookup m_companyNames;
    RunResults m_results;
    DocumentSelection m_excluded;
    QString m_exclusionKey; // of the dry run the exclusions were chosen after; empty for none
    // Shows how far the current run has come; none outside a run.
    std::unique_ptr<RunProgressDisplay> m_progress;
    int m_documentCount = 0;
    bool m_running = false;
};

} // namespace przenosnik
