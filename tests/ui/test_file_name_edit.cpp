// The file name edit: the value behind its text, its browse dialog's filter
// and start folder.
#include "platform/SystemPaths.h"
#include "support/TestSupport.h"
#include "ui/FileDialog.h"
#include "ui/FileNameValue.h"
#include "ui/FilenameEdit.h"

#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace przenosnik;

class TestFileNameEdit : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString at(const QString& relative) const { return dir.filePath(relative); }

    // Windows' own dialog matches the patterns of a filter itself.
    static bool windowsDialog() { return platform::NamesIgnoreCase && platform::DrivePaths; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QDir root(dir.path());
        QVERIFY(root.mkpath(QStringLiteral("kpr")));
        QVERIFY(root.mkpath(QStringLiteral("z blankiem")));
        QVERIFY(root.mkpath(QStringLiteral("Wielkie")));
        QVERIFY(test::writeFile(at(QStringLiteral("kpr/SPISFIRM.DAT")), "x"));
        QVERIFY(test::writeFile(at(QStringLiteral("z blankiem/spisfirm.dat")), "x"));
    }

    void value_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value");
        const QString file = at(QStringLiteral("kpr/SPISFIRM.DAT"));
        const QString blankFile = at(QStringLiteral("z blankiem/spisfirm.dat"));
        QTest::newRow("existing file") << file << file;
        QTest::newRow("existing file, other case")
            << at(QStringLiteral("KPR/spisfirm.dat")) << at(QStringLiteral("KPR/spisfirm.dat"));
        QTest::newRow("existing file with a blank") << blankFile << blankFile;
        // A directory gets the system's separator.
        QTest::newRow("existing directory")
            << at(QStringLiteral("kpr")) << test::pathIn(at(QStringLiteral("kpr")), QString());
        QTest::newRow("directory with separator") << at(QStringLiteral("kpr/")) << at(QStringLiteral("kpr/"));
        QTest::newRow("directory with a blank")
            << at(QStringLiteral("z blankiem")) << test::pathIn(at(QStringLiteral("z blankiem")), QString());
        QTest::newRow("quoted") << QLatin1Char('"') + blankFile + QLatin1Char('"') << blankFile;
        QTest::newRow("quoted, text after") << "\"a b.dat\" reszta"
                                            << "a b.dat";
        QTest::newRow("quoted, no closing mark") << "\"a b.dat"
                                                 << "a b.dat";
        QTest::newRow("missing with blank") << "brak pliku.dat"
                                            << "brak";
        QTest::newRow("leading blank") << " spisfirm.dat"
                                       << "";
        QTest::newRow("missing plain") << "spisfirm.dat"
                                       << "spisfirm.dat";
        QTest::newRow("empty") << ""
                               << "";
    }

    void value()
    {
        QFETCH(QString, text);
        QFETCH(QString, value);
        QCOMPARE(fileNameValue(text), value);
    }

    void shownWithQuotesWhenBlank()
    {
        QCOMPARE(fileNameText(QStringLiteral("/a b/c.dat")), QStringLiteral("\"/a b/c.dat\""));
        QCOMPARE(fileNameText(QStringLiteral("/ab/c.dat")), QStringLiteral("/ab/c.dat"));
        FilenameEdit edit;
        edit.setFileName(QStringLiteral("/x y/spisfirm.dat"));
        QCOMPARE(edit.text(), QStringLiteral("\"/x y/spisfirm.dat\""));
        QCOMPARE(edit.fileName(), QStringLiteral("/x y/spisfirm.dat"));
        QCOMPARE(edit.property("FileName").toString(), QStringLiteral("/x y/spisfirm.dat"));
    }

    // Qt's dialog gets patterns that ignore letter case; Windows' own dialog
    // ignores it itself and gets the patterns as they are.
    void qtFilter_data()
    {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<QString>("qt");
        QTest::addColumn<QString>("system");
        QTest::newRow("company list")
            << "Plik firm (gw KPR)|spisfirm.dat|Wszystkie (*.*)|*.*"
            << "Plik firm (gw KPR) ([sS][pP][iI][sS][fF][iI][rR][mM].[dD][aA][tT]);;Wszystkie (*.*) (*)"
            << "Plik firm (gw KPR) (spisfirm.dat);;Wszystkie (*.*) (*.*)";
        QTest::newRow("quoted pattern in the description")
            << "Pliki FVS szablonu #2 i #3 \"*.txt\"|*.txt|Wszystkie pliki|*.*"
            << "Pliki FVS szablonu #2 i #3 \"*.txt\" (*.[tT][xX][tT]);;Wszystkie pliki (*)"
            << "Pliki FVS szablonu #2 i #3 \"*.txt\" (*.txt);;Wszystkie pliki (*.*)";
        QTest::newRow("several patterns") << "Dane|*.a;*.b1"
                                          << "Dane (*.[aA] *.[bB]1)"
                                          << "Dane (*.a *.b1)";
        QTest::newRow("odd part ignored") << "Dane|*.a|Reszta"
                                          << "Dane (*.[aA])"
                                          << "Dane (*.a)";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }

    void qtFilter()
    {
        QFETCH(QString, windows);
        QFETCH(QString, qt);
        QFETCH(QString, system);
        QCOMPARE(FileDialog::qtFilter(windows), windowsDialog() ? system : qt);
    }

    // The converted patterns find the list file in any case, and "*.*"
    // finds names without a dot, as on Windows.
    void filterPatternsMatchLikeWindows()
    {
        const QString filter =
            FileDialog::qtFilter(QStringLiteral("Plik firm (gw KPR)|spisfirm.dat|Wszystkie (*.*)|*.*"));
        const QStringList entries = filter.split(QStringLiteral(";;"));
        QCOMPARE(entries.size(), 2);
        const auto patterns = [](const QString& entry) {
            const QRegularExpressionMatch match =
                QRegularExpression(QStringLiteral("\\(([^()]*)\\)$")).match(entry);
            return match.captured(1).split(QLatin1Char(' '));
        };
        // Windows' dialog ignores letter case and takes "*.*" for every name.
        const auto matches = [](const QStringList& patterns, const QString& name) {
            for (const QString& pattern : patterns) {
                if (windowsDialog() && pattern == QLatin1String("*.*"))
                    return true;
                const QRegularExpression expression(QRegularExpression::wildcardToRegularExpression(pattern),
                                                    windowsDialog()
                                                        ? QRegularExpression::CaseInsensitiveOption
                                                        : QRegularExpression::NoPatternOption);
                if (expression.match(name).hasMatch())
                    return true;
            }
            return false;
        };
        const QStringList company = patterns(entries.at(0));
        QVERIFY(matches(company, QStringLiteral("SPISFIRM.DAT")));
        QVERIFY(matches(company, QStringLiteral("spisfirm.dat")));
        QVERIFY(matches(company, QStringLiteral("SpisFirm.Dat")));
        QVERIFY(!matches(company, QStringLiteral("spisfirm.dat.bak")));
        QVERIFY(!matches(company, QStringLiteral("spisfirmXdat")));
        QVERIFY(matches(patterns(entries.at(1)), QStringLiteral("README")));
    }

    void browseStartFolder()
    {
        FilenameEdit edit;
        edit.setInitialDirectory(QStringLiteral("c:\\kpr_zn"));
        edit.setText(QStringLiteral("spisfirm.dat"));
        // Neither a folder in the name nor an existing initial directory.
        QCOMPARE(edit.browseStartDirectory(), QString());
        edit.setInitialDirectory(at(QStringLiteral("Wielkie")));
        QCOMPARE(edit.browseStartDirectory(), at(QStringLiteral("Wielkie")));
        // The folder of the name in the edit wins when it exists ...
        edit.setText(at(QStringLiteral("kpr/brak.dat")));
        QCOMPARE(edit.browseStartDirectory(), at(QStringLiteral("kpr/")));
        edit.setText(at(QStringLiteral("KPR/brak.dat")));
        QCOMPARE(edit.browseStartDirectory(),
                 test::foundAs(at(QStringLiteral("KPR/")), at(QStringLiteral("kpr/"))));
        // ... and not when it does not.
        edit.setText(at(QStringLiteral("niema/spisfirm.dat")));
        QCOMPARE(edit.browseStartDirectory(), at(QStringLiteral("Wielkie")));
    }

    void browseShowsTheChosenFile()
    {
        FilenameEdit edit;
        edit.setFilter(QStringLiteral("Dane|*.dat"));
        edit.setDialogTitle(QStringLiteral("Tytuł"));
        edit.setInitialDirectory(at(QStringLiteral("Wielkie")));
        const QString chosen = at(QStringLiteral("z blankiem/spisfirm.dat"));
        FileDialog::setNextFileName(chosen);
        QVERIFY(edit.browse());
        const FileDialog::Request request = FileDialog::lastRequest();
        QCOMPARE(request.caption, QStringLiteral("Tytuł"));
        QCOMPARE(request.directory, at(QStringLiteral("Wielkie")));
        QCOMPARE(request.filter,
                 windowsDialog() ? QStringLiteral("Dane (*.dat)") : QStringLiteral("Dane (*.[dD][aA][tT])"));
        QVERIFY(request.options.testFlag(QFileDialog::HideNameFilterDetails));
        // The chosen file is shown in the system's form.
        const QString shown = QDir::toNativeSeparators(chosen);
        QCOMPARE(edit.text(), QLatin1Char('"') + shown + QLatin1Char('"'));
        QCOMPARE(edit.fileName(), shown);
        QCOMPARE(edit.initialDirectory(), QDir::toNativeSeparators(at(QStringLiteral("z blankiem"))));

        // Cancelled: nothing changes.
        FileDialog::setNextFileName(QString());
        QVERIFY(!edit.browse());
        QCOMPARE(edit.fileName(), shown);

        // The next browse starts in the chosen file's folder.
        edit.setText(QStringLiteral("inny.dat"));
        FileDialog::setNextFileName(QString());
        edit.browse();
        QCOMPARE(FileDialog::lastRequest().directory,
                 QDir::toNativeSeparators(at(QStringLiteral("z blankiem"))));
    }

    void browseButtonOpensTheDialog()
    {
        FilenameEdit edit;
        const QString chosen = at(QStringLiteral("kpr/SPISFIRM.DAT"));
        FileDialog::setNextFileName(chosen);
        QTest::mouseClick(edit.browseButton(), Qt::LeftButton);
        QCOMPARE(edit.text(), QDir::toNativeSeparators(chosen));
    }
};

QTEST_MAIN(TestFileNameEdit)
#include "test_file_name_edit.moc"
