// Parts of the main window on their own: the trace log's batches, the store
// of a run's results, the character limit of the auto-fill edits and Qt's
// texts in Polish.
#include "ui/BlockList.h"
#include "ui/LimitedLineEdit.h"
#include "ui/QtTranslations.h"
#include "ui/ResultStore.h"
#include "ui/RunResults.h"
#include "ui/TraceLog.h"
#include "ui/TraceView.h"
#include "ui/WindowFont.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

using namespace przenosnik;

class TestWindowParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void traceLogShowsLinesInBatches_data()
    {
        QTest::addColumn<int>("batch");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("shownBeforeFlush");
        QTest::newRow("fewer lines than a batch") << 5 << 3 << 0;
        QTest::newRow("exactly one batch") << 5 << 5 << 5;
        QTest::newRow("a batch and some more") << 5 << 12 << 10;
        QTest::newRow("batch of one") << 1 << 4 << 4;
    }

    void traceLogShowsLinesInBatches()
    {
        QFETCH(int, batch);
        QFETCH(int, lines);
        QFETCH(int, shownBeforeFlush);
        TraceView memo;
        TraceLog log(&memo, batch);
        QStringList expected;
        for (int i = 0; i < lines; ++i) {
            // Every third line empty, as between documents.
            expected << (i % 3 == 2 ? QString() : QStringLiteral("linia %1").arg(i));
            log.append(expected.last());
        }
        QCOMPARE(log.lines(), expected);
        QCOMPARE(log.lineCount(), lines);
        QCOMPARE(memo.model()->rowCount(), shownBeforeFlush);
        log.flush();
        QCOMPARE(memo.model()->rowCount(), lines);
        // Copied with nothing selected, the view gives every line; selected, those lines.
        QCOMPARE(memo.selectedText(), expected.join(QLatin1Char('\n')));
        memo.selectionModel()->select(memo.model()->index(lines - 1, 0), QItemSelectionModel::Select);
        memo.selectionModel()->select(memo.model()->index(0, 0), QItemSelectionModel::Select);
        QCOMPARE(memo.selectedText(),
                 lines == 1 ? expected.first() : expected.first() + '\n' + expected.last());
    }

    void traceLogKeepsTextAsAppended_data()
    {
        QTest::addColumn<qsizetype>("blockSize");
        QTest::addColumn<QStringList>("lines");
        // Amounts are formatted with no-break spaces; a log may begin with an empty line.
        const QStringList usual{QString(), QStringLiteral("kwota=1\u00A0234,50\u00A0zł"),
                                QStringLiteral("\tz tabulatorem "), QString()};
        QTest::newRow("one block") << qsizetype(1 << 20) << usual;
        QTest::newRow("a block per line or two") << qsizetype(24) << usual;
        QTest::newRow("lines longer than a block")
            << qsizetype(4)
            << QStringList{QStringLiteral("Zażółć gęślą jaźń"), QString(), QStringLiteral("ab")};
        // UTF-8 cannot hold a lone surrogate: such a line is kept as it is.
        QTest::newRow("a lone surrogate")
            << qsizetype(1 << 20)
            << QStringList{QStringLiteral("a"), QString(QChar(0xD800)) + QStringLiteral("b"),
                           QStringLiteral("c")};
    }

    void traceLogKeepsTextAsAppended()
    {
        QFETCH(qsizetype, blockSize);
        QFETCH(QStringList, lines);
        TraceView memo;
        TraceLog log(&memo, 2, blockSize);
        for (const QString& line : lines) {
            log.append(line);
        }
        log.flush();
        QCOMPARE(log.lines(), lines);
        QCOMPARE(memo.model()->rowCount(), lines.size());
        QCOMPARE(log.lines(1, 2), lines.mid(1, 2));
        QCOMPARE(log.lines(2, 5), lines.mid(2));
        QCOMPARE(log.lines(-1, 2), lines.mid(0, 1));
        QCOMPARE(memo.model()->index(1, 0).data().toString(), lines.at(1));

        log.clear();
        QCOMPARE(log.lines(), QStringList());
        QCOMPARE(log.lineCount(), 0);
        log.append(QStringLiteral("po wyczyszczeniu"));
        log.flush();
        QCOMPARE(memo.selectedText(), QStringLiteral("po wyczyszczeniu"));
    }

    void resultStoreGivesBackWhatItKeeps_data()
    {
        QTest::addColumn<QList<DocumentResult>>("results");
        DocumentResult sale;
        sale.kind = 1;
        sale.number = QStringLiteral("FV 1/12");
        sale.partyName = QStringLiteral("Zakład \"Łęg\" s.c.");
        sale.nip = QStringLiteral("123-456-32-18");
        sale.address = QStringLiteral("ul. Źródlana 5, 00-950 Warszawa");
        sale.date = LedgerDate{31, 12, 2014};
        sale.amounts.netto1 = 100.5;
        sale.amounts.vat1 = 23.115;
        sale.amounts.kolumna = 100.5;
        sale.monthFile = QStringLiteral("/firma/2014T305.12");
        sale.position = 7;
        sale.state = DocumentState::WouldBeWritten;
        DocumentResult bare; // no texts, no amounts, no file
        DocumentResult held = sale;
        held.kind = 7;
        held.amounts = DocumentAmounts{};
        held.amounts.netto0 = -0.0; // kept as it is, sign and all
        held.amounts.nettoNieop = -12.34;
        held.monthFile = QStringLiteral("/firma/2015T305.1");
        held.state = DocumentState::Duplicate;
        held.remarks = QStringList{QStringLiteral("brak NIP"), QStringLiteral("jak pozycja 7")};
        DocumentResult long_ = sale;
        long_.partyName = QString(3 << 20, QLatin1Char('x')); // longer than a block of texts
        QTest::newRow("one document") << QList<DocumentResult>{sale};
        QTest::newRow("empty texts and amounts") << QList<DocumentResult>{bare, sale};
        QTest::newRow("remarks, other files, odd kind") << QList<DocumentResult>{sale, held, sale};
        QTest::newRow("texts longer than a block") << QList<DocumentResult>{sale, long_, held};
    }

    // What the run learns of an entry after its result was reported reaches the
    // window's results and their report; the other results stay as they were.
    void resultsTakeWhatIsLearnedLater_data()
    {
        QTest::addColumn<bool>("lost");
        QTest::addColumn<int>("position"); // where the entry is found to stand

        QTest::newRow("pushed further by another program") << false << 9;
        QTest::newRow("gone from its file") << true << 4;
    }
    void resultsTakeWhatIsLearnedLater()
    {
        QFETCH(bool, lost);
        QFETCH(int, position);
        RunResults results;
        results.start(ConversionSettings{}, QDateTime::currentDateTime());
        DocumentResult first;
        first.ordinal = 1;
        first.state = DocumentState::Written;
        first.monthFile = QStringLiteral("/firma/2014T305.3");
        first.position = 3;
        DocumentResult second = first;
        second.ordinal = 2;
        second.position = 4;
        results.add(first, 0);
        results.add(second, 0);
        if (lost)
            results.markLost(2);
        else
            results.moveEntry(2, position);

        const RunReport report = results.report();
        QCOMPARE(report.documents.size(), 2);
        QCOMPARE(report.documents.at(0).position, 3);
        QCOMPARE(report.documents.at(0).state, DocumentState::Written);
        QCOMPARE(report.documents.at(1).position, position);
        QCOMPARE(report.documents.at(1).state, lost ? DocumentState::NotWritten : DocumentState::Written);
    }

    void resultStoreGivesBackWhatItKeeps()
    {
        QFETCH(QList<DocumentResult>, results);
        ResultStore store(2); // the results of a row span blocks
        for (int index = 0; index < results.size(); ++index) {
            // In run order, with gaps, as a run reports them.
            results[index].ordinal = 2 * index + 1;
            store.append(results.at(index));
        }
        QCOMPARE(store.size(), results.size());
        for (int index = 0; index < results.size(); ++index) {
            const DocumentResult& expected = results.at(index);
            const DocumentResult kept = store.result(index);
            QCOMPARE(kept.ordinal, expected.ordinal);
            QCOMPARE(kept.kind, expected.kind);
            QCOMPARE(kept.number, expected.number);
            QCOMPARE(kept.partyName, expected.partyName);
            QCOMPARE(kept.nip, expected.nip);
            QCOMPARE(kept.address, expected.address);
            QVERIFY(kept.date == expected.date);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(&kept.amounts), sizeof(DocumentAmounts)),
                     QByteArray(reinterpret_cast<const char*>(&expected.amounts), sizeof(DocumentAmounts)));
            QCOMPARE(kept.monthFile, expected.monthFile);
            QCOMPARE(kept.position, expected.position);
            QCOMPARE(kept.state, expected.state);
            QCOMPARE(kept.remarks, expected.remarks);
            QCOMPARE(store.indexOf(expected.ordinal), index);
        }
        QCOMPARE(store.indexOf(2), -1);
        QCOMPARE(store.indexOf(99), -1);
        // A document lost after it was reported: its state and remarks change, nothing else.
        DocumentResult lost = results.constLast();
        markLost(lost);
        store.update(int(results.size() - 1), lost);
        QCOMPARE(store.at(int(results.size() - 1)).state, DocumentState::NotWritten);
        QCOMPARE(store.at(int(results.size() - 1)).remarks, lost.remarks);
        QCOMPARE(store.at(int(results.size() - 1)).number.toString(), lost.number);
    }

    // Records come back by their index across the small first block and the
    // large ones after it, and again after the list is cleared.
    void blockListKeepsRecordsInOrder_data()
    {
        QTest::addColumn<int>("perBlock");
        QTest::addColumn<int>("firstBlock");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << 4 << 2 << 0;
        QTest::newRow("within the first block") << 4 << 2 << 2;
        QTest::newRow("first block smaller") << 4 << 2 << 11;
        QTest::newRow("blocks of one") << 1 << 1 << 3;
        QTest::newRow("first block as large as the rest") << 3 << 3 << 7;
        QTest::newRow("first block asked larger than the rest") << 3 << 9 << 7;
    }
    void blockListKeepsRecordsInOrder()
    {
        QFETCH(int, perBlock);
        QFETCH(int, firstBlock);
        QFETCH(int, count);
        BlockList<qint64> list(perBlock, firstBlock);
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < count; ++i) {
                list.append(qint64(i) * 1000 + round);
            }
            QCOMPARE(list.size(), count);
            for (int i = 0; i < count; ++i) {
                QCOMPARE(list.at(i), qint64(i) * 1000 + round);
            }
            list.clear();
            QVERIFY(list.isEmpty());
        }
    }

    void traceLogShowsStrayLinesWhenIdle()
    {
        TraceView memo;
        TraceLog log(&memo, 1000);
        log.append(QStringLiteral("poza przebiegiem"));
        QCOMPARE(memo.model()->rowCount(), 0);
        QTRY_COMPARE(memo.selectedText(), QStringLiteral("poza przebiegiem"));
    }

    void limitBindsTyping_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("1: empty, two typed") << 1 << "" << 0 << "ab"
                                             << "a";
        QTest::newRow("1: full") << 1 << "x" << 1 << "ab"
                                 << "x";
        QTest::newRow("1: full, cursor first") << 1 << "x" << 0 << "a"
                                               << "x";
        QTest::newRow("36: fills up") << 36 << QString(34, 'o') << 34 << "abcd" << QString(34, 'o') + "ab";
        QTest::newRow("3: middle") << 3 << "ac" << 1 << "bz"
                                   << "abc";
        QTest::newRow("1: overlong kept") << 1 << "ŻÓŁW" << 4 << "x"
                                          << "ŻÓŁW";
        QTest::newRow("1: overlong, inside") << 1 << "ŻÓŁW" << 2 << "x"
                                             << "ŻÓŁW";
    }

    void limitBindsTyping()
    {
        QFETCH(int, limit);
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        LimitedLineEdit edit(limit);
        edit.setStoredText(before);
        QCOMPARE(edit.text(), before);
        edit.setCursorPosition(cursor);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), after);
        // Deleting is always possible, also from an overlong text.
        edit.end(false);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), after.left(after.size() - 1));
    }

    void pasteIsCutToTheLimit()
    {
        LimitedLineEdit edit(3);
        QApplication::clipboard()->setText(QStringLiteral("abcdef"));
        edit.paste();
        QCOMPARE(edit.text(), QStringLiteral("abc"));
        edit.setCursorPosition(1);
        edit.paste();
        QCOMPARE(edit.text(), QStringLiteral("abc"));
        edit.setSelection(0, 2);
        edit.paste();
        QCOMPARE(edit.text(), QStringLiteral("abc"));
        // The property that a stored value goes through takes any length.
        QVERIFY(edit.setProperty("text", QStringLiteral("abcdef")));
        QCOMPARE(edit.text(), QStringLiteral("abcdef"));
    }

    // The window font lets the tight captions fit at the designed places.
    void windowFontFitsTheCaptions()
    {
        const QFontMetrics metrics(windowFont());
        QVERIFY(metrics.horizontalAdvance(QStringLiteral("Atrybut KPR")) <= 60);
        QVERIFY(metrics.horizontalAdvance(QStringLiteral("Opis operacji (w przypadku braku)")) <= 170);
        // The default sans-serif is wider than the designed face: narrowed, it fits.
        QFont wide(QStringLiteral("DejaVu Sans"));
        wide.setPointSize(8);
        QVERIFY(QFontMetrics(wide).horizontalAdvance(QStringLiteral("Atrybut KPR")) > 58);
        const int stretch = fittingStretch(wide);
        QVERIFY(stretch < 100);
        wide.setStretch(stretch);
        QVERIFY(QFontMetrics(wide).horizontalAdvance(QStringLiteral("Atrybut KPR")) <= 58);
        QVERIFY(QFontMetrics(wide).horizontalAdvance(QStringLiteral("Opis operacji (w przypadku braku)")) <=
                168);
    }

    void messageBoxButtonsInPolish_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("no");
        QTest::newRow("Qt's translations") << qtTranslationsDirectory() << true << "&Tak"
                                           << "&Nie";
        QTest::newRow("no translations: Qt's own texts") << "/nonexistent" << false << "&Yes"
                                                         << "&No";
    }

    void messageBoxButtonsInPolish()
    {
        QFETCH(QString, directory);
        QFETCH(bool, installed);
        QFETCH(QString, yes);
        QFETCH(QString, no);
        QTranslator translator;
        QCOMPARE(installQtTranslations(translator, directory), installed);
        QMessageBox box(QMessageBox::Information, QStringLiteral("Start ..."), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), yes);
        QCOMPARE(box.button(QMessageBox::No)->text(), no);
    }
};

QTEST_MAIN(TestWindowParts)
#include "test_window_parts.moc"
