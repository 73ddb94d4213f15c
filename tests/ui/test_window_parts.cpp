// Parts of the main window on their own: the trace log's batches, the
// character limit of the auto-fill edits and Qt's texts in Polish.
#include "ui/LimitedLineEdit.h"
#include "ui/QtTranslations.h"
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

    void traceLogKeepsTextAsAppended()
    {
        TraceView memo;
        TraceLog log(&memo, 2);
        // Amounts are formatted with no-break spaces; a log may begin with an empty line.
        const QStringList lines{QString(), QStringLiteral("kwota=1\u00A0234,50\u00A0zł"),
                                QStringLiteral("\tz tabulatorem "), QString()};
        for (const QString& line : lines) {
            log.append(line);
        }
        log.flush();
        QCOMPARE(log.lines(), lines);
        QCOMPARE(memo.model()->rowCount(), 4);
        QCOMPARE(log.lines(1, 2), lines.mid(1, 2));
        QCOMPARE(log.lines(3, 5), lines.mid(3));
        QCOMPARE(log.lines(-1, 2), lines.mid(0, 1));

        log.clear();
        QCOMPARE(log.lines(), QStringList());
        QCOMPARE(log.lineCount(), 0);
        log.append(QStringLiteral("po wyczyszczeniu"));
        log.flush();
        QCOMPARE(memo.selectedText(), QStringLiteral("po wyczyszczeniu"));
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
