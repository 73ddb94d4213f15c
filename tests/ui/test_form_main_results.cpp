// The main window's result pages after a run: the document table with its
// marks, filter, sorting and per-document trace, the totals, and the report
// saved and printed from the tool bar.
#include "FormMainTestTools.h"
#include "ui/FileDialog.h"
#include "ui/FormMain.h"
#include "ui/MessageBox.h"
#include "ui/PrintDialog.h"
#include "ui/TraceView.h"

#include "conversion/CsvReport.h"
#include "conversion/DocumentSelection.h"
#include "support/CompanyRecords.h"
#include "support/ConversionTestHost.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

constexpr int TracePage = 0;
constexpr int DocumentsPage = 1;
constexpr int TotalsPage = 2;

// Two invoices; the second one spoiled as `fault` says.
QString twoInvoices(const QString& fault)
{
    Invoice first;
    Invoice second;
    second.number = QStringLiteral("FV 2/03/2014");
    if (fault == QLatin1String("remark")) {
        second.net = QStringLiteral("150.00"); // the header disagrees with the register
    }
    QString secondBlock = documentBlock(second, registerBlock(QStringLiteral("23"), first.net, first.vat));
    if (fault == QLatin1String("missing key")) {
        secondBlock.remove(QStringLiteral("\tkhnip = ") + second.nip + QLatin1Char('\n'));
    }
    return exportHeader() + documentBlock(first, registerBlock(QStringLiteral("23"), first.net, first.vat)) +
           secondBlock;
}

// The colour mark of a table row: "red", "yellow" or "".
QString mark(const QAbstractItemModel& model, int row)
{
    const QVariant background = model.index(row, 0).data(Qt::BackgroundRole);
    if (!background.isValid()) {
        return QString();
    }
    const QColor colour = background.value<QBrush>().color();
    return colour.green() < 230 ? QStringLiteral("red") : QStringLiteral("yellow");
}

int column(const QAbstractItemModel& model, const QString& caption)
{
    for (int c = 0; c < model.columnCount(); ++c) {
        if (model.headerData(c, Qt::Horizontal).toString() == caption) {
            return c;
        }
    }
    qFatal("no column %s", qPrintable(caption));
}

QStringList columnTexts(const QAbstractItemModel& model, const QString& caption)
{
    QStringList texts;
    const int c = column(model, caption);
    for (int row = 0; row < model.rowCount(); ++row) {
        texts << model.index(row, c).data().toString();
    }
    return texts;
}

} // namespace

class TestFormMainResults : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    // A window after a run of `exportFile` (a dry run unless a directory is given).
    std::unique_ptr<FormMain> runWindow(const QString& exportFile, const QString& directory = {},
                                        int startPage = TracePage)
    {
        auto window = openMainWindow(m_dir->path());
        child<QLineEdit>(*window, "FE_EPP")->setText(exportFile);
        child<QLineEdit>(*window, "de_KPR")->setText(directory);
        child<QCheckBox>(*window, "ch_sprawdz")->setChecked(directory.isEmpty());
        child<QTabWidget>(*window, "tabs_Wyniki")->setCurrentIndex(startPage);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        child<QAction>(*window, "act_Konwert")->trigger();
        return window;
    }

    // Saves a picture of a results page when PRZENOSNIK_GRAB names a folder, to be looked at.
    static void grabPage(FormMain& window, int page, const QString& name)
    {
        const QString folder = qEnvironmentVariable("PRZENOSNIK_GRAB");
        if (folder.isEmpty()) {
            return;
        }
        window.resize(900, 600);
        child<QTabWidget>(window, "tabs_Wyniki")->setCurrentIndex(page);
        QTest::qWait(50);
        window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }

    QString writeExport(const QString& text)
    {
        const QString file = path(QStringLiteral("FVS01.TXT"));
        if (!writeFile(file, exportBytes(text))) {
            qFatal("cannot write %s", qPrintable(file));
        }
        return file;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        MessageBox::clearNextAnswer();
        FileDialog::clearNextAnswers();
        PrintDialog::clearNextAnswer();
    }

    void rowsMarksAndPageAfterARun_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("startPage");
        QTest::addColumn<int>("shownPage");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QStringList>("marks");
        const QStringList clean{"do zapisu", "do zapisu"};
        QTest::newRow("clean, on the trace") << "" << TracePage << TracePage << clean << QStringList{"", ""};
        QTest::newRow("clean, on the table")
            << "" << DocumentsPage << DocumentsPage << clean << QStringList{"", ""};
        QTest::newRow("a remark") << "remark" << TracePage << TotalsPage << clean
                                  << QStringList{"", "yellow"};
        QTest::newRow("a missing key") << "missing key" << DocumentsPage << TotalsPage
                                       << QStringList{"do zapisu", "pominięty"} << QStringList{"", "red"};
    }

    void rowsMarksAndPageAfterARun()
    {
        QFETCH(QString, fault);
        QFETCH(int, startPage);
        QFETCH(int, shownPage);
        QFETCH(QStringList, states);
        QFETCH(QStringList, marks);
        const QString owner = openMainWindow(m_dir->path())->statusBar()->currentMessage();
        auto window = runWindow(writeExport(twoInvoices(fault)), QString(), startPage);

        auto* tabs = child<QTabWidget>(*window, "tabs_Wyniki");
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(3), QStringLiteral("Historia"));
        QCOMPARE(tabs->tabText(TracePage), QStringLiteral("Przebieg"));
        QCOMPARE(tabs->tabText(DocumentsPage), QStringLiteral("Dokumenty"));
        QCOMPARE(tabs->tabText(TotalsPage), QStringLiteral("Podsumowanie"));
        QVERIFY(tabs->widget(TracePage)->isAncestorOf(child<TraceView>(*window, "MemoTrace")));
        QCOMPARE(tabs->currentIndex(), shownPage);
        QCOMPARE(window->statusBar()->currentMessage(), owner);

        const QAbstractItemModel& table = *child<QTableView>(*window, "grid_Dokumenty")->model();
        QCOMPARE(columnTexts(table, QStringLiteral("Stan")), states);
        QCOMPARE(columnTexts(table, QStringLiteral("Numer")), QStringList({"FV 1/03/2014", "FV 2/03/2014"}));
        QStringList shownMarks;
        for (int row = 0; row < table.rowCount(); ++row) {
            shownMarks << mark(table, row);
        }
        QCOMPARE(shownMarks, marks);

        // The filter keeps the marked rows only.
        child<QCheckBox>(*window, "chb_tylkoUwagi")->setChecked(true);
        QCOMPARE(table.rowCount(), int(marks.size() - marks.count(QString())));
        for (int row = 0; row < table.rowCount(); ++row) {
            QVERIFY(!mark(table, row).isEmpty());
        }
        child<QCheckBox>(*window, "chb_tylkoUwagi")->setChecked(false);
        QCOMPARE(table.rowCount(), int(states.size()));
    }

    void exampleRunTableAndDocumentTrace()
    {
        auto window = runWindow(QStringLiteral(PRZENOSNIK_EXAMPLES "/FVS0314.TXT"));
        // Some documents of the example have remarks.
        QCOMPARE(child<QTabWidget>(*window, "tabs_Wyniki")->currentIndex(), TotalsPage);
        auto* grid = child<QTableView>(*window, "grid_Dokumenty");
        QAbstractItemModel& table = *grid->model();
        // The cancelled block and the internal document stand where the file has them.
        QCOMPARE(table.rowCount(), 14);
        QStringList states(12, QStringLiteral("do zapisu"));
        states.insert(2, QStringLiteral("anulowany"));
        states.insert(7, QStringLiteral("inny rodzaj"));
        QCOMPARE(columnTexts(table, QStringLiteral("Stan")), states);
        QCOMPARE(columnTexts(table, QStringLiteral("Numer")).at(2), QStringLiteral("FVS 3/03/2014"));
        QCOMPARE(columnTexts(table, QStringLiteral("Data")).at(2), QStringLiteral("2014-03-06"));
        QStringList ordinals;
        for (int i = 1; i <= 12; ++i) {
            ordinals << QString::number(i);
        }
        ordinals.insert(2, QString());
        ordinals.insert(7, QString());
        QCOMPARE(columnTexts(table, QStringLiteral("Lp")), ordinals);
        // Stan and Uwagi right after Lp; Brutto is net plus VAT.
        QCOMPARE(column(table, QStringLiteral("Stan")), 1);
        QCOMPARE(column(table, QStringLiteral("Uwagi")), 2);
        QCOMPARE(columnTexts(table, QStringLiteral("Brutto")).at(0), QStringLiteral("1537,50"));
        QCOMPARE(child<QLabel>(*window, "l_wiersze")->text(), QStringLiteral("Wierszy: 14"));
        const int vatSumRow = int(columnTexts(table, QStringLiteral("Numer")).indexOf("FVS 8/03/2014"));
        QCOMPARE(mark(table, vatSumRow), QStringLiteral("yellow"));
        QVERIFY(columnTexts(table, QStringLiteral("Uwagi"))
                    .at(vatSumRow)
                    .contains(QStringLiteral("różnica VAT")));

        // Each row shows its own lines of the trace, from the empty line before it.
        auto* memo = child<QPlainTextEdit>(*window, "MemoDokumentu");
        const QStringList numbers = columnTexts(table, QStringLiteral("Numer"));
        for (int row = 0; row < table.rowCount(); ++row) {
            grid->setCurrentIndex(table.index(row, 0));
            if (ordinals.at(row).isEmpty()) {
                QCOMPARE(memo->toPlainText(), QString()); // a block not let through has no lines
                continue;
            }
            const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
            QCOMPARE(lines.first(), QString());
            QVERIFY2(lines.value(1).startsWith(QStringLiteral("* Dokument nr:") + numbers.at(row)),
                     qPrintable(lines.value(1)));
            QCOMPARE(lines.filter(QStringLiteral("* Dokument nr:")).size(), 1);
            QVERIFY(!lines.contains(QStringLiteral("Osiągnięto fizyczny koniec pliku ")));
            QCOMPARE(!lines.filter(QStringLiteral("BŁĄD: suma pozycji vat")).isEmpty(), row == vatSumRow);
        }

        // Amounts sort by value, not by their text; the trace follows the row.
        const int total = column(table, QStringLiteral("Netto razem"));
        grid->sortByColumn(total, Qt::DescendingOrder);
        double previous = qInf();
        for (int row = 0; row < table.rowCount(); ++row) {
            const double value = table.index(row, total).data().toString().replace(',', '.').toDouble();
            QVERIFY2(value <= previous, qPrintable(table.index(row, total).data().toString()));
            previous = value;
        }
        QVERIFY(previous < 0);
        QCOMPARE(table.index(0, column(table, QStringLiteral("Numer"))).data().toString(),
                 QStringLiteral("FVS 6/03/2014"));
        grid->setCurrentIndex(table.index(0, 0));
        QVERIFY(memo->toPlainText().contains(QStringLiteral("* Dokument nr:FVS 6/03/2014 ")));
    }

    void choosingBeforeBooking_data()
    {
        QTest::addColumn<QString>("between");  // what happens between the dry run and the real run
        QTest::addColumn<QString>("excluded"); // what the window keeps
        QTest::addColumn<int>("written");

        QTest::newRow("nothing") << ""
                                 << "3,7" << 10;
        QTest::newRow("another dry run keeps them") << "dry run"
                                                    << "3,7" << 10;
        QTest::newRow("ticked again") << "tick 3"
                                      << "7" << 11;
        QTest::newRow("an option changed") << "option"
                                           << "" << 12;
        QTest::newRow("another company") << "directory"
                                         << "" << 12;
        QTest::newRow("the export file rewritten") << "file"
                                                   << "" << 12;
    }

    void choosingBeforeBooking()
    {
        QFETCH(QString, between);
        QFETCH(QString, excluded);
        QFETCH(int, written);
        const QString exportFile = path(QStringLiteral("FVS0314.TXT"));
        QVERIFY(QFile::copy(QStringLiteral(PRZENOSNIK_EXAMPLES "/FVS0314.TXT"), exportFile));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("firma")));
        const QString company = path(QStringLiteral("firma"));
        auto window = openMainWindow(m_dir->path());
        child<QLineEdit>(*window, "FE_EPP")->setText(exportFile);
        child<QLineEdit>(*window, "de_KPR")->setText(company);
        auto* dry = child<QCheckBox>(*window, "ch_sprawdz");
        const auto run = [&](bool dryRun) {
            dry->setChecked(dryRun);
            MessageBox::setNextAnswer(QMessageBox::Yes);
            child<QAction>(*window, "act_Konwert")->trigger();
        };
        run(true);

        // Every row "do zapisu" has a box, ticked; the blocks not let through have none.
        QAbstractItemModel& table = *child<QTableView>(*window, "grid_Dokumenty")->model();
        const QStringList ordinals = columnTexts(table, QStringLiteral("Lp"));
        const auto rowOf = [&](int ordinal) { return int(ordinals.indexOf(QString::number(ordinal))); };
        for (int row = 0; row < table.rowCount(); ++row) {
            const bool document = !ordinals.at(row).isEmpty();
            QCOMPARE(bool(table.index(row, 0).flags() & Qt::ItemIsUserCheckable), document);
            QCOMPARE(table.index(row, 0).data(Qt::CheckStateRole).isValid(), document);
            if (document) {
                QCOMPARE(table.index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
            }
        }
        // The first column is wide enough for the boxes and the numbers beside them.
        auto* grid = child<QTableView>(*window, "grid_Dokumenty");
        QVERIFY(grid->columnWidth(0) >= static_cast<QAbstractItemView*>(grid)->sizeHintForColumn(0));
        QVERIFY(table.setData(table.index(rowOf(3), 0), Qt::Unchecked, Qt::CheckStateRole));
        // Or with the space bar, on any cell of the row.
        grid->setCurrentIndex(table.index(rowOf(7), 4));
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(window->excludedDocuments().text(), QStringLiteral("3,7"));

        if (between == QLatin1String("dry run")) {
            run(true);
            QCOMPARE(table.index(rowOf(3), 0).data(Qt::CheckStateRole).value<Qt::CheckState>(),
                     Qt::Unchecked);
            QCOMPARE(table.index(rowOf(4), 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        } else if (between == QLatin1String("tick 3")) {
            QVERIFY(table.setData(table.index(rowOf(3), 0), Qt::Checked, Qt::CheckStateRole));
        } else if (between == QLatin1String("option")) {
            child<QCheckBox>(*window, "chb_kod")->toggle();
            QVERIFY(!(table.index(rowOf(3), 0).flags() & Qt::ItemIsUserCheckable));
        } else if (between == QLatin1String("directory")) {
            QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("firma2")));
            child<QLineEdit>(*window, "de_KPR")->setText(path(QStringLiteral("firma2")));
            child<QLineEdit>(*window, "de_KPR")->setText(company);
        } else if (between == QLatin1String("file")) {
            QFile file(exportFile);
            QVERIFY(file.open(QIODevice::Append));
            QVERIFY(file.write("\r\n") == 2);
        }
        QCOMPARE(window->excludedDocuments().text(),
                 between == QLatin1String("file") ? QStringLiteral("3,7") : excluded);

        run(false);
        const QString asked = MessageBox::lastRequest().informativeText;
        QCOMPARE(asked.contains(QStringLiteral("\nPominięte przez użytkownika: %1").arg(12 - written)),
                 written < 12);
        QCOMPARE(asked.contains(QStringLiteral("Plik eksportu zmienił się od symulacji")),
                 between == QLatin1String("file"));
        QCOMPARE(QFileInfo(company + QStringLiteral("/2014T305.3")).size(), written * 400);
        const QStringList states = columnTexts(table, QStringLiteral("Stan"));
        QCOMPARE(states.count(QStringLiteral("wyłączony")), 12 - written);
        QCOMPARE(states.count(QStringLiteral("zapisany")), written);
        for (int ordinal : {3, 7}) {
            QCOMPARE(states.at(rowOf(ordinal)) == QStringLiteral("wyłączony"),
                     DocumentSelection::parse(excluded).value_or(DocumentSelection()).contains(ordinal));
        }
        // The real run used them up; its rows have no boxes.
        QVERIFY(window->excludedDocuments().isEmpty());
        QVERIFY(!(table.index(rowOf(1), 0).flags() & Qt::ItemIsUserCheckable));
    }

    void searchFiltersAsOneTypes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        const QStringList bakery{"FVS 2/03/2014", "FVS 8/03/2014"};
        QTest::newRow("nothing") << "" << QStringList();
        QTest::newRow("a number") << "fvz 0042" << QStringList{"FVZ 0042/03/14"};
        QTest::newRow("a cancelled block by its number") << "FVS 3/" << QStringList{"FVS 3/03/2014"};
        QTest::newRow("a party, any letter case") << "piekarnia KŁOS" << bakery;
        QTest::newRow("a NIP as written") << "725-200" << bakery;
        QTest::newRow("a NIP without dashes") << "7252003344" << bakery;
        QTest::newRow("no such") << "xyz" << QStringList{};
    }

    void searchFiltersAsOneTypes()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        auto window = runWindow(QStringLiteral(PRZENOSNIK_EXAMPLES "/FVS0314.TXT"));
        auto* search = child<QLineEdit>(*window, "Edit_Szukaj");
        const QAbstractItemModel& table = *child<QTableView>(*window, "grid_Dokumenty")->model();
        // Letter by letter, as one types.
        for (const QChar letter : text) {
            if (letter.unicode() < 0x80) {
                QTest::keyClicks(search, QString(letter));
            } else {
                search->insert(QString(letter)); // the test's keyboard has no Polish letters
            }
        }
        QCOMPARE(search->text(), text);
        const QStringList shown = columnTexts(table, QStringLiteral("Numer"));
        QCOMPARE(shown, text.isEmpty() ? shown : numbers);
        QCOMPARE(child<QLabel>(*window, "l_wiersze")->text(),
                 text.isEmpty() ? QStringLiteral("Wierszy: 14")
                                : QStringLiteral("Wierszy: %1 z 14").arg(numbers.size()));
        // With "tylko z uwagami" both filters hold.
        child<QCheckBox>(*window, "chb_tylkoUwagi")->setChecked(true);
        for (int row = 0; row < table.rowCount(); ++row) {
            QVERIFY(!mark(table, row).isEmpty());
            QVERIFY(text.isEmpty() ||
                    numbers.contains(table.index(row, column(table, "Numer")).data().toString()));
        }
    }

    void takenBackRunReadsSo()
    {
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("firma")));
        auto window = runWindow(writeExport(twoInvoices(QString())), path(QStringLiteral("firma")));
        auto* tabs = child<QTabWidget>(*window, "tabs_Wyniki");
        tabs->setCurrentIndex(3);
        auto* history = child<QTableWidget>(*window, "grid_Historia");
        QCOMPARE(history->rowCount(), 1);
        QCOMPARE(history->item(0, 1)->text(), QStringLiteral("FVS01.TXT"));
        QCOMPARE(history->item(0, 2)->text(), QStringLiteral("2"));
        QCOMPARE(history->item(0, 3)->text(), QStringLiteral("zakończona"));

        MessageBox::setNextAnswer(QMessageBox::Yes);
        child<QPushButton>(*window, "bb_CofnijHistoria")->click();
        QTRY_COMPARE(history->item(0, 3)->text(), QStringLiteral("cofnięta"));
        QVERIFY(!history->cellWidget(0, 4));
        QCOMPARE(QFileInfo(path(QStringLiteral("firma/2014T305.3"))).exists(), false);

        const QAbstractItemModel& table = *child<QTableView>(*window, "grid_Dokumenty")->model();
        QCOMPARE(columnTexts(table, QStringLiteral("Stan")), QStringList(2, QStringLiteral("cofnięty")));
        QVERIFY(table.index(0, 0).data(Qt::BackgroundRole).isValid());
        auto* totals = child<QTableWidget>(*window, "grid_Podsumowanie");
        QVERIFY2(totals->item(0, 0)->text().startsWith(QStringLiteral("Konwersja cofnięta ")),
                 qPrintable(totals->item(0, 0)->text()));
        const QByteArray csv = csvReport(window->lastReport());
        QCOMPARE(csv.count(";cofnięty;"), 2);
        QCOMPARE(csv.count(";zapisany;"), 0);
    }

    // Before and after a run the window names the company of the directory and the one of the export;
    // a run that stopped says why at the top of Podsumowanie, and counts only what it read.
    void companiesAndWhyARunStopped_data()
    {
        QTest::addColumn<QString>("exportKind");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("details"); // the confirmation's informative text, @ the directory
        QTest::addColumn<QString>("stop");    // @ the directory, @/ it and the system's separator
        QTest::addColumn<QString>("blocks");  // the caption of the block count
        QTest::newRow("listed company, both names")
            << "named" << true << "Firma: Alfa Sp. z o.o.\nEksport firmy: Beta S.A.\nZapis do katalogu: @"
            << ""
            << "Bloki w pliku";
        QTest::newRow("unlisted, export without a name")
            << "plain" << false << "Firma: (brak w spisie firm KPR)\nZapis do katalogu: @"
            << ""
            << "Bloki w pliku";
        QTest::newRow("wrong version line")
            << "version 4" << true << "Firma: Alfa Sp. z o.o.\nZapis do katalogu: @"
            << "To nie jest plik eksportu faktur w wersji 2 lub 3."
            << "Bloki przeczytane";
        QTest::newRow("monthly file cannot be opened")
            << "blocked" << true << "Firma: Alfa Sp. z o.o.\nZapis do katalogu: @"
            << "W miejscu pliku @/2014T305.3 jest katalog. Usuń go albo zmień jego nazwę i uruchom konwersję "
               "ponownie."
            << "Bloki przeczytane";
    }

    void companiesAndWhyARunStopped()
    {
        QFETCH(QString, exportKind);
        QFETCH(bool, listed);
        QFETCH(QString, details);
        QFETCH(QString, stop);
        QFETCH(QString, blocks);
        const QString directory = path(QStringLiteral("KSIEGI/FIRMA1"));
        QVERIFY(QDir().mkpath(directory));
        if (listed) {
            QVERIFY(writeFile(path(QStringLiteral("KSIEGI/SPISFIRM.DAT")),
                              companyRecord("Alfa Sp. z o.o.", "FIRMA1", "") +
                                  companyRecord("Gamma", "FIRMA2", "")));
        }
        if (exportKind == QLatin1String("blocked")) {
            QVERIFY(QDir().mkpath(directory + QStringLiteral("/2014T305.3")));
        }
        QString text = twoInvoices(QString());
        if (exportKind == QLatin1String("named")) {
            text.replace(QStringLiteral("Wersja szablonu = 3\n"),
                         QStringLiteral("Wersja szablonu = 3\n\tFirma =Beta S.A.\n"));
        } else if (exportKind == QLatin1String("version 4")) {
            text.replace(QStringLiteral("Wersja szablonu = 3"), QStringLiteral("Wersja szablonu = 4"));
        }
        auto window = runWindow(writeExport(text), directory);
        const MessageBox::Request asked = MessageBox::lastRequest();
        QCOMPARE(asked.text, QStringLiteral("Rozpocząć żmudny proces konwersji danych ?"));
        QCOMPARE(asked.informativeText, details.replace(QLatin1Char('@'), directory));
        QCOMPARE(child<QLabel>(*window, "l_firma")->text(),
                 listed ? QStringLiteral("Alfa Sp. z o.o.") : QString());

        auto* reason = child<QLabel>(*window, "l_przerwanie");
        QCOMPARE(reason->text(), stop.replace(QStringLiteral("@/"), test::pathIn(directory, QString()))
                                     .replace(QLatin1Char('@'), directory));
        QCOMPARE(reason->isVisible(), !stop.isEmpty());
        QCOMPARE(child<QTabWidget>(*window, "tabs_Wyniki")->currentIndex(),
                 stop.isEmpty() ? TracePage : TotalsPage);
        auto* totals = child<QTableWidget>(*window, "grid_Podsumowanie");
        QStringList places;
        for (int row = 0; row < totals->rowCount(); ++row) {
            places << totals->item(row, 0)->text();
        }
        QVERIFY2(places.contains(blocks), qPrintable(places.join(QLatin1Char('|'))));
        QVERIFY(places.contains(details.section(QLatin1Char('\n'), 0, 0)));
        if (exportKind == QLatin1String("blocked")) {
            grabPage(*window, TotalsPage, QStringLiteral("podsumowanie-po-przerwaniu"));
        }
    }

    void totalsNameTheMonthlyFile()
    {
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("firma")));
        const QString exportFile = writeExport(twoInvoices(QString()));
        auto window = runWindow(exportFile, path(QStringLiteral("firma")));
        QCOMPARE(child<QTabWidget>(*window, "tabs_Wyniki")->currentIndex(), TracePage);
        const QString monthFile = window->lastReport().documents.value(0).monthFile;
        QVERIFY2(QFileInfo(monthFile).isAbsolute() && QFileInfo::exists(monthFile), qPrintable(monthFile));
        auto* totals = child<QTableWidget>(*window, "grid_Podsumowanie");
        QMap<QString, QString> counts;
        int fileRows = 0;
        for (int row = 0; row < totals->rowCount(); ++row) {
            const QString place = totals->item(row, 0)->text();
            counts.insert(place, totals->item(row, 2) ? totals->item(row, 2)->text() : QString());
            fileRows += place == monthFile ? 1 : 0;
        }
        QCOMPARE(fileRows, 1);
        QVERIFY(counts.contains(QStringLiteral("Plik eksportu: ") + exportFile));
        QCOMPARE(counts.value(monthFile), QStringLiteral("2"));
        QCOMPARE(counts.value(QStringLiteral("dokumenty skonwertowane")), QStringLiteral("2"));
        QCOMPARE(counts.value(QStringLiteral("zapisany")), QStringLiteral("2"));
    }

    void reportIsSavedAsChosen_data()
    {
        QTest::addColumn<QString>("answer"); // relative to the scratch folder; empty: cancelled
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("starts");
        QTest::newRow("CSV") << "r.csv"
                             << "r.csv" << QByteArray("\xEF\xBB\xBFLp;Numer;");
        QTest::newRow("PDF, any letter case") << "r.PDF"
                                              << "r.PDF" << QByteArray("%PDF");
        QTest::newRow("no extension: CSV") << "r"
                                           << "r.csv" << QByteArray("\xEF\xBB\xBFLp;Numer;");
        QTest::newRow("cancelled") << ""
                                   << "" << QByteArray();
        QTest::newRow("no such folder") << "brak/r.csv"
                                        << "" << QByteArray();
    }

    void reportIsSavedAsChosen()
    {
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QFETCH(QByteArray, starts);
        auto window = openMainWindow(m_dir->path());
        auto* raport = child<QAction>(*window, "act_Raport");
        QVERIFY(!raport->isEnabled());
        window = runWindow(writeExport(twoInvoices(QStringLiteral("remark"))));
        raport = child<QAction>(*window, "act_Raport");
        QVERIFY(raport->isEnabled());

        const bool failure = answer.startsWith(QLatin1String("brak/"));
        if (failure) {
            MessageBox::setNextAnswer(QMessageBox::Ok);
        }
        const int boxes = MessageBox::requestCount();
        FileDialog::setNextFileName(answer.isEmpty() ? QString() : path(answer));
        raport->trigger();
        const FileDialog::Request asked = FileDialog::lastRequest();
        QCOMPARE(asked.filter, QStringLiteral("Raport CSV (*.csv);;Raport PDF (*.pdf)"));
        QCOMPARE(QFileInfo(asked.directory).absolutePath(), QFileInfo(m_dir->path()).absoluteFilePath());
        const QStringList files = QDir(m_dir->path()).entryList({"r*"}, QDir::Files);
        QCOMPARE(files, written.isEmpty() ? QStringList() : QStringList{written});
        QCOMPARE(MessageBox::requestCount(), boxes + (failure ? 1 : 0));
        if (failure) {
            QCOMPARE(MessageBox::lastRequest().icon, QMessageBox::Warning);
            QVERIFY(!MessageBox::lastRequest().text.isEmpty());
        }
        if (!written.isEmpty()) {
            const QByteArray bytes = readFile(path(written));
            QVERIFY(bytes.startsWith(starts));
            if (written.endsWith(QLatin1String(".csv"))) {
                QCOMPARE(bytes, csvReport(window->lastReport()));
                QCOMPARE(bytes.count("\r\n"), 3);
            }
        }
    }

    void printGoesThroughTheDialog()
    {
        auto window = openMainWindow(m_dir->path());
        QVERIFY(!child<QAction>(*window, "act_Drukuj")->isEnabled());
        window = runWindow(writeExport(twoInvoices(QString())));
        auto* drukuj = child<QAction>(*window, "act_Drukuj");
        QVERIFY(drukuj->isEnabled());
        const int asked = PrintDialog::requestCount();
        PrintDialog::setNextAnswer(QString());
        drukuj->trigger();
        PrintDialog::setNextAnswer(path(QStringLiteral("wydruk.pdf")));
        drukuj->trigger();
        QCOMPARE(PrintDialog::requestCount(), asked + 2);
        QVERIFY(readFile(path(QStringLiteral("wydruk.pdf"))).startsWith("%PDF"));
        QCOMPARE(QDir(m_dir->path()).entryList({"*.pdf"}, QDir::Files), QStringList{"wydruk.pdf"});
    }
};

QTEST_MAIN(TestFormMainResults)
#include "test_form_main_results.moc"
