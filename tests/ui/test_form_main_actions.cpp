// The main window's actions: the checks and the question before a run, runs
// through the window against the same runs with a plain host, the browse
// dialogs and the company picker.
#include "FormMainTestTools.h"
#include "ui/Beep.h"
#include "ui/FileDialog.h"
#include "ui/FormMain.h"
#include "ui/FormSpisFirm.h"
#include "ui/MessageBox.h"
#include "ui/TraceView.h"

#include "encoding/Windows1250.h"
#include "ledger/CompanyList.h"
#include "support/ConversionTestHost.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

QString twoInvoiceExport()
{
    Invoice first;
    Invoice second;
    second.number = QStringLiteral("FV 2/03/2014");
    second.date = QStringLiteral("2014-04-02");
    second.net = QStringLiteral("200.00");
    second.vat = QStringLiteral("46.00");
    Invoice cancelled;
    cancelled.number = QStringLiteral("FV 3/03/2014");
    cancelled.cancelled = 1;
    return exportHeader() + documentBlock(first, registerBlock(QStringLiteral("23"), first.net, first.vat)) +
           documentBlock(cancelled, registerBlock(QStringLiteral("23"), first.net, first.vat)) +
           documentBlock(second, registerBlock(QStringLiteral("23"), second.net, second.vat));
}

// One record of the company list file.
QByteArray companyRecord(const QByteArray& firma, const QByteArray& katalog)
{
    QByteArray record(CompanyRecordSize, '\0');
    record[CompanyFirmaField.offset] = static_cast<char>(firma.size());
    record.replace(CompanyFirmaField.offset + 1, firma.size(), firma);
    record[CompanyKatalogField.offset] = static_cast<char>(katalog.size());
    record.replace(CompanyKatalogField.offset + 1, katalog.size(), katalog);
    return record;
}

// The monthly files of a directory, by name.
QMap<QString, QByteArray> monthFiles(const QString& directory)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(directory).entryList({QStringLiteral("*T305.*")}, QDir::Files)) {
        files.insert(name, readFile(QDir(directory).filePath(name)));
    }
    return files;
}

} // namespace

class TestFormMainActions : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    QString writeExport(const QString& name, const QString& text)
    {
        const QString file = path(name);
        if (!writeFile(file, exportBytes(text))) {
            qFatal("cannot write %s", qPrintable(file));
        }
        return file;
    }

    std::unique_ptr<FormMain> openWindow() { return test::openMainWindow(m_dir->path()); }

    void konwersja(FormMain& window) { child<QAction>(window, "act_Konwert")->trigger(); }

    // Runs `act` on the picker once it is shown modally.
    static void whenPickerShows(std::function<void(FormSpisFirm&)> act)
    {
        QTimer::singleShot(0, [act] {
            auto* picker = qobject_cast<FormSpisFirm*>(QApplication::activeModalWidget());
            if (!picker) {
                qWarning("no picker shown");
                return;
            }
            act(*picker);
        });
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        MessageBox::clearNextAnswer();
        FileDialog::clearNextAnswers();
    }

    void quotesAreStrippedAndShown_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const QString file = QStringLiteral("eksport zimowy/FVS01.TXT");
        QTest::newRow("both quotes") << "\"%1\"" << file;
        QTest::newRow("leading quote only") << "\"%1" << file;
        QTest::newRow("trailing quote only") << "%1\"" << file;
        QTest::newRow("no quotes") << "%1" << file;
    }

    void quotesAreStrippedAndShown()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        const QString file = QStringLiteral("eksport zimowy/FVS01.TXT");
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("eksport zimowy")));
        writeExport(file, twoInvoiceExport());
        auto window = openWindow();
        child<QCheckBox>(*window, "ch_sprawdz")->setChecked(true);
        child<QLineEdit>(*window, "FE_EPP")->setText(typed.arg(path(file)));
        const int asked = MessageBox::requestCount();
        MessageBox::setNextAnswer(QMessageBox::No);
        konwersja(*window);
        QCOMPARE(child<QLineEdit>(*window, "FE_EPP")->text(), path(shown));
        QCOMPARE(MessageBox::requestCount(), asked + 1);
    }

    void questionBeforeARun()
    {
        const QString file = writeExport(QStringLiteral("FVS01.TXT"), twoInvoiceExport());
        auto window = openWindow();
        child<QLineEdit>(*window, "FE_EPP")->setText(file);
        child<QLineEdit>(*window, "de_KPR")->setText(m_dir->path());
        const int beeps = beepCount();
        MessageBox::setNextAnswer(QMessageBox::No);
        konwersja(*window);
        const MessageBox::Request asked = MessageBox::lastRequest();
        QCOMPARE(asked.text, QStringLiteral("Rozpocząć żmudny proces konwersji danych ?"));
        QCOMPARE(asked.caption, QStringLiteral("Start ..."));
        QCOMPARE(asked.icon, QMessageBox::Information);
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        QCOMPARE(beepCount(), beeps);
        // No runs nothing: no trace, no count, no file.
        QVERIFY(window->traceLines().isEmpty());
        QCOMPARE(window->documentCount(), 0);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"FVS01.TXT"}));
    }

    void missingInputBeepsAndFocuses_data()
    {
        QTest::addColumn<bool>("exportExists");
        QTest::addColumn<bool>("directoryExists");
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<QString>("focused"); // empty: the question is asked
        QTest::newRow("no export file") << false << true << false << "FE_EPP";
        QTest::newRow("no export file, dry run") << false << false << true << "FE_EPP";
        QTest::newRow("no directory") << true << false << false << "de_KPR";
        QTest::newRow("no directory, dry run") << true << false << true << "";
        QTest::newRow("both there") << true << true << false << "";
    }

    void missingInputBeepsAndFocuses()
    {
        QFETCH(bool, exportExists);
        QFETCH(bool, directoryExists);
        QFETCH(bool, dryRun);
        QFETCH(QString, focused);
        const QString file = exportExists ? writeExport(QStringLiteral("FVS01.TXT"), twoInvoiceExport())
                                          : path(QStringLiteral("brak.txt"));
        auto window = openWindow();
        child<QLineEdit>(*window, "FE_EPP")->setText(file);
        child<QLineEdit>(*window, "de_KPR")
            ->setText(directoryExists ? m_dir->path() : path(QStringLiteral("brak")));
        child<QCheckBox>(*window, "ch_sprawdz")->setChecked(dryRun);
        child<QCheckBox>(*window, "ch_sprawdz")->setFocus();
        const int beeps = beepCount();
        const int asked = MessageBox::requestCount();
        MessageBox::setNextAnswer(QMessageBox::No);
        konwersja(*window);
        if (focused.isEmpty()) {
            QCOMPARE(beepCount(), beeps);
            QCOMPARE(MessageBox::requestCount(), asked + 1);
        } else {
            QCOMPARE(beepCount(), beeps + 1);
            QCOMPARE(MessageBox::requestCount(), asked);
            QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        }
        MessageBox::clearNextAnswer();
    }

    void runsThroughTheWindowMatchThePlainRun_data()
    {
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<bool>("mazovia");
        QTest::newRow("dry run") << true << false;
        QTest::newRow("real run, 852") << false << false;
        QTest::newRow("real run, Mazovia") << false << true;
    }

    void runsThroughTheWindowMatchThePlainRun()
    {
        QFETCH(bool, dryRun);
        QFETCH(bool, mazovia);
        const QString file = writeExport(QStringLiteral("FVS01.TXT"), twoInvoiceExport());
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("okno")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("wzor")));

        auto window = openWindow();
        child<QLineEdit>(*window, "FE_EPP")->setText(QLatin1Char('"') + file + QLatin1Char('"'));
        child<QLineEdit>(*window, "de_KPR")->setText(path(QStringLiteral("okno")));
        child<QRadioButton>(*window, mazovia ? "RB_MAZ" : "RB_852")->setChecked(true);
        child<QCheckBox>(*window, "ch_sprawdz")->setChecked(dryRun);
        child<QCheckBox>(*window, "chb_kod")->setChecked(true);
        child<QLineEdit>(*window, "Edit_OPIS")->setText(QStringLiteral("Usługi"));
        MessageBox::setNextAnswer(QMessageBox::Yes);
        konwersja(*window);
        QVERIFY(!window->isRunning());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // The question says what the answer leads to, after the companies.
        QCOMPARE(MessageBox::lastRequest().informativeText.section(QLatin1Char('\n'), -1),
                 dryRun ? QStringLiteral("Symulacja: nic nie zostanie zapisane.")
                        : QStringLiteral("Zapis do katalogu: ") + path(QStringLiteral("okno")));

        ConversionSettings settings = window->conversionSettings();
        QCOMPARE(settings.exportFile, file);
        QCOMPARE(settings.dryRun, dryRun);
        settings.companyDirectory = path(QStringLiteral("wzor"));
        RecordingHost plain;
        RunConversion(settings, plain);

        QVERIFY(plain.trace.size() > 10);
        QCOMPARE(window->traceLines(), plain.trace);
        QCOMPARE(child<TraceView>(*window, "MemoTrace")->model()->rowCount(), plain.trace.size());
        QCOMPARE(window->documentCount(), plain.documentCount);
        QCOMPARE(window->documentCount(), 2);
        // The document memo keeps the last block read.
        QCOMPARE(child<QPlainTextEdit>(*window, "mDokument")->toPlainText(),
                 plain.document.join(QLatin1Char('\n')));
        const QMap<QString, QByteArray> written = monthFiles(path(QStringLiteral("okno")));
        QCOMPARE(written, monthFiles(path(QStringLiteral("wzor"))));
        QCOMPARE(written.size(), dryRun ? 0 : 2);

        // A second run appends to the trace and counts from 0 again; a real
        // run finds both invoices booked by the first. The view follows the
        // trace to its last line, wherever it was scrolled before.
        QScrollBar* bar = child<TraceView>(*window, "MemoTrace")->verticalScrollBar();
        bar->setValue(0);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        konwersja(*window);
        RecordingHost again;
        RunConversion(settings, again);
        again.trace.replaceInStrings(path(QStringLiteral("wzor")), path(QStringLiteral("okno")));
        QCOMPARE(window->traceLines(), plain.trace + again.trace);
        QCOMPARE(window->documentCount(), again.documentCount);
        QCOMPARE(window->documentCount(), dryRun ? 2 : 0);
        QCOMPARE(monthFiles(path(QStringLiteral("okno"))), written);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
    }

    void invalidVersionIsShownInABox()
    {
        const QString file = writeExport(QStringLiteral("FVS01.TXT"), exportHeader(QStringLiteral("x3")));
        auto window = openWindow();
        child<QLineEdit>(*window, "FE_EPP")->setText(file);
        child<QCheckBox>(*window, "ch_sprawdz")->setChecked(true);
        RecordingHost plain;
        ConversionSettings settings = window->conversionSettings();
        RunConversion(settings, plain);
        QCOMPARE(plain.versionFailures.size(), 1);

        const int asked = MessageBox::requestCount();
        MessageBox::setNextAnswer(QMessageBox::Yes);
        MessageBox::setNextAnswer(QMessageBox::Ok);
        konwersja(*window);
        QCOMPARE(MessageBox::requestCount(), asked + 2);
        const MessageBox::Request shown = MessageBox::lastRequest();
        QCOMPARE(shown.text, plain.versionFailures.first());
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(window->traceLines(), plain.trace);
    }

    void busyDirectoryIsShownInABox()
    {
        const QString file = writeExport(QStringLiteral("FVS01.TXT"), twoInvoiceExport());
        QLockFile otherRun(path(QStringLiteral("PRZENOSN.LCK")));
        QVERIFY(otherRun.tryLock(0));
        auto window = openWindow();
        child<QLineEdit>(*window, "FE_EPP")->setText(file);
        child<QLineEdit>(*window, "de_KPR")->setText(m_dir->path());

        // At once, without the question before a run.
        const int asked = MessageBox::requestCount();
        MessageBox::setNextAnswer(QMessageBox::Ok);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        konwersja(*window);
        QCOMPARE(MessageBox::requestCount(), asked + 1);
        const MessageBox::Request shown = MessageBox::lastRequest();
        // The holder is named as its lock names it: this computer (QLockFile
        // writes COMPUTERNAME on Windows, the host name elsewhere), this process.
        const QString host =
            QString::fromUtf8(readFile(path(QStringLiteral("PRZENOSN.LCK"))).split('\n').value(2));
        QVERIFY(!host.isEmpty());
        QVERIFY2(shown.text.startsWith(
                     QStringLiteral("Do katalogu %1 zapisuje właśnie inna konwersja (komputer %2, "
                                    "proces %3, od ")
                         .arg(m_dir->path(), host)
                         .arg(QCoreApplication::applicationPid())),
                 qPrintable(shown.text));
        QVERIFY(shown.text.endsWith(QStringLiteral("). Spróbuj ponownie, gdy się zakończy.")));
        QCOMPARE(shown.caption, QStringLiteral("Przenosnik"));
        QCOMPARE(shown.icon, QMessageBox::Warning);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(window->traceLines().isEmpty());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"FVS01.TXT", "PRZENOSN.LCK"}));
    }

    void browseForTheExportFile()
    {
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("dane 2014")));
        const QString chosen = writeExport(QStringLiteral("dane 2014/FVS03.TXT"), twoInvoiceExport());
        auto window = openWindow();
        auto* edit = child<QLineEdit>(*window, "FE_EPP");
        QAction* browse = child<QAction>(*window, "FE_EPP_browse");

        FileDialog::setNextFileName(chosen);
        browse->trigger();
        const FileDialog::Request asked = FileDialog::lastRequest();
        QCOMPARE(asked.caption, QStringLiteral("Gdzież ten plik FVS ?"));
        QCOMPARE(asked.filter, FileDialog::qtFilter(QStringLiteral(
                                   "Pliki FVS szablonu #2 i #3 \"*.txt\"|*.txt|Faktury KSeF (*.xml)|*.xml|"
                                   "Wszystkie pliki|*.*")));
        // A name with a blank is shown in quotation marks.
        QCOMPARE(edit->text(), QLatin1Char('"') + QDir::toNativeSeparators(chosen) + QLatin1Char('"'));

        // The next browse starts in that file's folder; a cancel changes nothing.
        FileDialog::setNextFileName(QString());
        browse->trigger();
        QCOMPARE(QDir(FileDialog::lastRequest().directory), QDir(path(QStringLiteral("dane 2014"))));
        QCOMPARE(edit->text(), QLatin1Char('"') + QDir::toNativeSeparators(chosen) + QLatin1Char('"'));

        // A typed name whose folder exists decides where the browse starts.
        edit->setText(m_dir->path() + QStringLiteral("/inny.txt"));
        const QString plainName = writeExport(QStringLiteral("FVS04.TXT"), twoInvoiceExport());
        FileDialog::setNextFileName(plainName);
        browse->trigger();
        QCOMPARE(QDir(FileDialog::lastRequest().directory), QDir(m_dir->path()));
        QCOMPARE(edit->text(), QDir::toNativeSeparators(plainName));
    }

    // A chosen invoice brings its whole folder when the user says so; "NIP
    // firmy" follows the company directory and outlives the window.
    void ksefFolderAndCompanyNip()
    {
        const QString invoices = path(QStringLiteral("faktury"));
        QVERIFY(QDir().mkpath(invoices) && QDir().mkpath(path(QStringLiteral("A"))) &&
                QDir().mkpath(path(QStringLiteral("B"))));
        for (const char* name :
             {"5260250274-20260311-4A5B6C7D8E9F-9A.xml", "7010002137-20260320-9ABACBDCEDF2-23.xml"})
            QVERIFY(QFile::copy(QStringLiteral(PRZENOSNIK_TEST_DATA "/ksef/") + QLatin1String(name),
                                QDir(invoices).filePath(QLatin1String(name))));
        const QString firstInvoice =
            QDir(invoices).filePath(QStringLiteral("5260250274-20260311-4A5B6C7D8E9F-9A.xml"));
        {
            auto window = openWindow();
            auto* company = child<QLineEdit>(*window, "de_KPR");
            auto* nip = child<QLineEdit>(*window, "Edit_NIP");
            auto* exportFile = child<QLineEdit>(*window, "FE_EPP");
            company->setText(path(QStringLiteral("A")));
            FileDialog::setNextFileName(firstInvoice);
            MessageBox::setNextAnswer(QMessageBox::No);
            child<QAction>(*window, "FE_EPP_browse")->trigger();
            QCOMPARE(exportFile->text(), QDir::toNativeSeparators(firstInvoice));
            FileDialog::setNextFileName(firstInvoice);
            MessageBox::setNextAnswer(QMessageBox::Yes);
            child<QAction>(*window, "FE_EPP_browse")->trigger();
            QCOMPARE(exportFile->text(), QDir::toNativeSeparators(invoices));

            nip->setFocus();
            QTest::keyClicks(nip, QStringLiteral("676-101x1234567"));
            QCOMPARE(nip->text(), QStringLiteral("6761011234"));
            company->setText(path(QStringLiteral("B")));
            QCOMPARE(nip->text(), QString());
            company->setText(path(QStringLiteral("A")));
            QCOMPARE(nip->text(), QStringLiteral("6761011234"));

            child<QCheckBox>(*window, "ch_sprawdz")->setChecked(true);
            MessageBox::setNextAnswer(QMessageBox::Yes);
            konwersja(*window);
            QCOMPARE(window->documentCount(), 2);
            // The folder as the edit shows it.
            QVERIFY(window->traceLines().contains(QStringLiteral("Faktury KSeF: ") +
                                                  QDir::toNativeSeparators(invoices)));
        }
        auto reopened = openWindow();
        QCOMPARE(child<QLineEdit>(*reopened, "de_KPR")->text(), path(QStringLiteral("A")));
        QCOMPARE(child<QLineEdit>(*reopened, "Edit_NIP")->text(), QStringLiteral("6761011234"));
    }

    void browseForTheCompanyDirectory()
    {
        auto window = openWindow();
        auto* edit = child<QLineEdit>(*window, "de_KPR");
        FileDialog::setNextDirectory(m_dir->path());
        child<QAction>(*window, "de_KPR_browse")->trigger();
        QCOMPARE(FileDialog::lastRequest().caption, QStringLiteral("Gdzie te dane ?"));
        QCOMPARE(edit->text(), QDir::toNativeSeparators(m_dir->path()));
        FileDialog::setNextDirectory(QString());
        child<QAction>(*window, "de_KPR_browse")->trigger();
        QCOMPARE(edit->text(), QDir::toNativeSeparators(m_dir->path()));
    }

    void pickerSetsTheCompanyDirectory_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("byLabel");
        QTest::addColumn<QString>("expected"); // relative to the list's folder; "-" unchanged
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("company"); // the name shown beside the directory afterwards
        const QByteArray list = companyRecord("Zielony Sklep", "ZIEL") + companyRecord("Apteka", "APT");
        QTest::newRow("OK on the first row") << list << true << false << "APT" << 0 << "Apteka";
        QTest::newRow("OK from the label") << list << true << true << "APT" << 0 << "Apteka";
        QTest::newRow("OK on an empty list") << QByteArray() << true << false << "" << 0 << "";
        QTest::newRow("closed") << list << false << false << "-" << 0 << "";
        // A Katalog that leads out of the list's folder names no company.
        QTest::newRow("Katalog two levels up")
            << companyRecord("Gora", "../..") << true << false << "-" << 1 << "";
        QTest::newRow("Katalog absolute") << companyRecord("Etc", "/etc") << true << false << "-" << 1 << "";
        QTest::newRow("Katalog parent") << companyRecord("Wyzej", "..") << true << false << "-" << 1 << "";
    }

    void pickerSetsTheCompanyDirectory()
    {
        QFETCH(QByteArray, list);
        QFETCH(bool, confirm);
        QFETCH(bool, byLabel);
        QFETCH(QString, expected);
        QFETCH(int, beeps);
        QFETCH(QString, company);
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("kpr")));
        const QString listFile = path(QStringLiteral("kpr/SPISFIRM.DAT"));
        QVERIFY(writeFile(listFile, list));
        QVERIFY(writeFile(
            path(QStringLiteral("SPISCFG.INI")),
            encodeWindows1250(QStringLiteral("[SPISFIRM]\r\nFilenameEdit_FileName=%1\r\n").arg(listFile))));

        auto window = openWindow();
        auto* edit = child<QLineEdit>(*window, "de_KPR");
        edit->setText(QStringLiteral("/poprzedni"));
        const int beepsBefore = beepCount();
        bool shown = false;
        whenPickerShows([&shown, confirm](FormSpisFirm& picker) {
            shown = true;
            if (confirm) {
                QTableView* grid = picker.grid();
                const QModelIndex first = grid->model()->index(0, 0);
                if (first.isValid()) {
                    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                                       grid->visualRect(first).center());
                } else {
                    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
                }
                if (picker.isVisible()) {
                    picker.done(FormSpisFirm::ModalResultOk);
                }
            } else {
                picker.close();
            }
        });
        if (byLabel) {
            QTest::mouseClick(child<QLabel>(*window, "Label1"), Qt::LeftButton);
        } else {
            child<QAction>(*window, "Act_FirmyKPR")->trigger();
        }
        QVERIFY(shown);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        if (expected == QLatin1String("-")) {
            QCOMPARE(edit->text(), QStringLiteral("/poprzedni"));
        } else {
            QCOMPARE(edit->text(), path(QStringLiteral("kpr/")) + expected);
        }
        QCOMPARE(beepCount(), beepsBefore + beeps);
        QCOMPARE(window->companyName(), company);
        QCOMPARE(child<QLabel>(*window, "l_firma")->text(), company);
        // The picker wrote its settings file either way.
        QVERIFY(readFile(path(QStringLiteral("SPISCFG.INI"))).contains("NormPos="));
    }
};

QTEST_MAIN(TestFormMainActions)
#include "test_form_main_actions.moc"
