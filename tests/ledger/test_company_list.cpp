// Reading the ledger program's company list.
#include "ledger/CompanyList.h"
#include "support/CompanyRecords.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace przenosnik;

namespace {
using test::bytes;

QByteArray record(const QByteArray& firma, const QByteArray& katalog, const QByteArray& info,
                  int firmaLength = -1, int katalogLength = -1, int infoLength = -1)
{
    return test::companyRecord(firma, katalog, info, firmaLength, katalogLength, infoLength);
}
} // namespace

class TestCompanyList : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        if (!test::writeFile(path, content))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void recordFields_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("firma");
        QTest::addColumn<QString>("katalog");
        QTest::addColumn<QString>("info");

        const int maz = int(PolishEncoding::Mazovia);
        const int cp852 = int(PolishEncoding::Cp852);
        const QByteArray lodzMazovia = bytes({156, 162, 100, 166});
        QTest::newRow("plain") << record("ACME", "FIRMA1", "uwagi") << cp852 << "ACME"
                               << "FIRMA1"
                               << "uwagi";
        QTest::newRow("Mazovia name")
            << record(lodzMazovia, "LODZ", "") << maz << QStringLiteral("Łódź") << "LODZ"
            << "";
        // The same bytes read as code page 852: only ó is a letter of that page.
        QTest::newRow("Mazovia bytes read as 852")
            << record(lodzMazovia, "LODZ", "") << cp852 << QStringLiteral("śód¦") << "LODZ"
            << "";
        QTest::newRow("852 name") << record(bytes({157, 162, 100, 171}), "L", "") << cp852
                                  << QStringLiteral("Łódź") << "L"
                                  << "";
        QTest::newRow("Info converted") << record("A", "K", bytes({158, 'w', 'i', 'a', 't'})) << maz << "A"
                                        << "K" << QStringLiteral("świat");
        // Katalog is not a Polish text: its bytes are Windows-1250 as they stand.
        QTest::newRow("Katalog bytes above 127")
            << record("A", bytes({156, 165, 'x', 163}), "") << maz << "A" << QStringLiteral("śĄxŁ") << "";
        QTest::newRow("Info length 25") << record("A", "K", "0123456789", -1, -1, 25) << cp852 << "A"
                                        << "K"
                                        << "0123456789";
        QTest::newRow("Firma length 200")
            << record(QByteArray(31, 'F'), "K", "", 200) << cp852 << QString(31, 'F') << "K"
            << "";
        QTest::newRow("Katalog length 9") << record("A", "ABCDEFGH", "", -1, 9) << cp852 << "A"
                                          << "ABCDEFGH"
                                          << "";
        QTest::newRow("shorter length hides the rest")
            << record("ABCDEF", "KATALOG", "INFO", 3, 2, 1) << cp852 << "ABC"
            << "KA"
            << "I";
        QTest::newRow("zero byte in Firma") << record(QByteArray("AB\0CD", 5), "K", "") << cp852 << "AB"
                                            << "K"
                                            << "";
        QTest::newRow("zero byte first in Katalog and Info")
            << record("A", QByteArray("\0KAT", 4), QByteArray("\0INF", 4)) << cp852 << "A"
            << ""
            << "";
        QTest::newRow("all empty") << record("", "", "") << maz << ""
                                   << ""
                                   << "";
    }

    void recordFields()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, encoding);
        QFETCH(QString, firma);
        QFETCH(QString, katalog);
        QFETCH(QString, info);
        const CompanyRow row = readCompanyRecord(record, PolishEncoding(encoding));
        QCOMPARE(row.firma, firma);
        QCOMPARE(row.katalog, katalog);
        QCOMPARE(row.info, info);
    }

    void recordCountFromFileSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("rows");
        QTest::newRow("empty file") << 0 << 0;
        QTest::newRow("shorter than a record") << 102 << 0;
        QTest::newRow("one record") << 103 << 1;
        QTest::newRow("250 bytes") << 250 << 2;
        QTest::newRow("three records") << 309 << 3;
    }

    void recordCountFromFileSize()
    {
        QFETCH(int, size);
        QFETCH(int, rows);
        QByteArray content;
        for (int i = 0; content.size() < size; ++i)
            content += record("Firma " + QByteArray::number(i), "K" + QByteArray::number(i), "");
        content.truncate(size);
        const auto list =
            loadCompanyList(write(QStringLiteral("size%1.dat").arg(size), content), PolishEncoding::Cp852);
        QVERIFY(list.has_value());
        QCOMPARE(list->size(), rows);
        for (const CompanyRow& row : *list)
            QVERIFY2(row.katalog.startsWith(QLatin1Char('K')), qPrintable(row.katalog));
    }

    void sortedByPolishCollation()
    {
        const QByteArray content = record("Makow", "M", "") + record(bytes({156, 162, 100, 166}), "L2", "") +
                                   record("Lublin", "L1", "") + record("Zamosc", "Z", "") +
                                   record("Adamow", "A", "") + record("lublin", "L0", "");
        const auto list =
            loadCompanyList(write(QStringLiteral("sort.dat"), content), PolishEncoding::Mazovia);
        QVERIFY(list.has_value());
        QStringList names;
        for (const CompanyRow& row : *list)
            names << row.firma;
        // Ł between L and M (not after Z as byte order would put it); lower
        // case before upper case of the same word, as the locale collates.
        QCOMPARE(names,
                 (QStringList{"Adamow", "lublin", "Lublin", QStringLiteral("Łódź"), "Makow", "Zamosc"}));
    }

    // Polish letters with diacritics are letters of their own, sorted after
    // their base letters, not variants of them.
    void polishLettersSortAfterTheirBase()
    {
        QList<CompanyRow> rows{{QStringLiteral("Ąb"), "1", ""}, {"Az", "2", ""},
                               {QStringLiteral("Źa"), "3", ""}, {"Zz", "4", ""},
                               {QStringLiteral("Ża"), "5", ""}, {"Ca", "6", ""}};
        sortCompanies(rows);
        QStringList names;
        for (const CompanyRow& row : rows)
            names << row.firma;
        QCOMPARE(names, (QStringList{"Az", QStringLiteral("Ąb"), "Ca", "Zz", QStringLiteral("Źa"),
                                     QStringLiteral("Ża")}));
    }

    void collationFallsBackToPolish()
    {
        if (QLocale::system().language() != QLocale::C)
            QSKIP("the environment names a locale");
        QCOMPARE(companyCollator().locale().language(), QLocale::Polish);
        QCOMPARE(companyCollator().caseSensitivity(), Qt::CaseSensitive);
    }

    void equalNamesKeepFileOrder()
    {
        QList<CompanyRow> rows{{"B", "1", ""}, {"A", "2", ""}, {"B", "3", ""}, {"A", "4", ""}};
        sortCompanies(rows);
        QCOMPARE(rows, (QList<CompanyRow>{{"A", "2", ""}, {"A", "4", ""}, {"B", "1", ""}, {"B", "3", ""}}));
    }

    void missingFileIsNotAnEmptyList()
    {
        QVERIFY(
            !loadCompanyList(dir.filePath(QStringLiteral("nothing.dat")), PolishEncoding::Cp852).has_value());
        QVERIFY(!loadCompanyList(QString(), PolishEncoding::Cp852).has_value());
        // A directory is not a list file either.
        QVERIFY(!loadCompanyList(dir.path(), PolishEncoding::Cp852).has_value());
    }

    // A pipe exists but is no list file: it gives an empty list at once
    // instead of waiting for a writer.
    void pipeGivesAnEmptyList()
    {
        const QString path = dir.filePath(QStringLiteral("pipe.dat"));
        if (!test::havePosixFaults())
            QSKIP("Windows has no FIFOs in the file system");
        QVERIFY(test::makeFifo(path));
        const auto list = loadCompanyList(path, PolishEncoding::Cp852);
        QVERIFY(list.has_value());
        QVERIFY(list->isEmpty());
    }

    void listFileFoundInAnyCase()
    {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("KPR_ZN")));
        write(QStringLiteral("KPR_ZN/SPISFIRM.DAT"), record("Jedna", "FIRMA1", ""));
        const auto list =
            loadCompanyList(dir.filePath(QStringLiteral("kpr_zn/spisfirm.dat")), PolishEncoding::Cp852);
        QVERIFY(list.has_value());
        QCOMPARE(list->size(), 1);
        QCOMPARE(list->first().firma, QStringLiteral("Jedna"));
    }

    void folderPartOfTheFileName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("folder");
        QTest::newRow("absolute") << "/dane/kpr/spisfirm.dat"
                                  << "/dane/kpr/";
        QTest::newRow("no folder") << "spisfirm.dat"
                                   << "";
        QTest::newRow("ends in separator") << "/dane/kpr/"
                                           << "/dane/kpr/";
        QTest::newRow("root") << "/spisfirm.dat"
                              << "/";
        QTest::newRow("relative") << "kpr/spisfirm.dat"
                                  << "kpr/";
        QTest::newRow("empty") << ""
                               << "";
    }

    void folderPartOfTheFileName()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, folder);
        QCOMPARE(folderPart(fileName), folder);
    }

    void companyDirectoryFromListFolder()
    {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Biuro/firma1")));
        const QString list = dir.filePath(QStringLiteral("Biuro/spisfirm.dat"));
        const auto companyDirectory = [](const QString& listFile, const QString& katalog) {
            return przenosnik::companyDirectory(listFile, katalog).value_or(QStringLiteral("(none)"));
        };
        QCOMPARE(companyDirectory(list, QStringLiteral("firma1")),
                 dir.filePath(QStringLiteral("Biuro/firma1")));
        // DOS names: the directory is found in the case it has on disk
        // (where names ignore case, the path as written leads to it).
        QCOMPARE(companyDirectory(list, QStringLiteral("FIRMA1")),
                 test::foundAs(dir.filePath(QStringLiteral("Biuro/FIRMA1")),
                               dir.filePath(QStringLiteral("Biuro/firma1"))));
        QCOMPARE(
            companyDirectory(dir.filePath(QStringLiteral("BIURO/SPISFIRM.DAT")), QStringLiteral("Firma1")),
            test::foundAs(dir.filePath(QStringLiteral("BIURO/Firma1")),
                          dir.filePath(QStringLiteral("Biuro/firma1"))));
        // A Katalog that does not exist is still put together by the rule.
        QCOMPARE(companyDirectory(list, QStringLiteral("FIRMA9")),
                 dir.filePath(QStringLiteral("Biuro/FIRMA9")));
        // An empty list gives an empty Katalog: the list file's folder alone.
        QCOMPARE(companyDirectory(list, QString()), dir.filePath(QStringLiteral("Biuro/")));
        QCOMPARE(companyDirectory(QStringLiteral("spisfirm.dat"), QString()), QString());
    }

    void katalogIsOneDirectoryName_data()
    {
        QTest::addColumn<QString>("katalog");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("two levels up") << "../.." << false;
        QTest::newRow("absolute") << "/etc" << false;
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("the folder itself") << "." << false;
        QTest::newRow("slash inside") << "KPR/A" << false;
        QTest::newRow("backslash up") << "..\\KPR" << false;
        QTest::newRow("backslash at the end") << "KPR\\" << false;
        QTest::newRow("empty: the folder alone") << "" << true;
        QTest::newRow("dots and a letter") << "..A" << true;
        QTest::newRow("leading dot") << ".KPR" << true;
        QTest::newRow("plain") << "FIRMA7" << true;
    }

    void katalogIsOneDirectoryName()
    {
        QFETCH(QString, katalog);
        QFETCH(bool, accepted);
        const QString list = dir.filePath(QStringLiteral("Biuro/spisfirm.dat"));
        QCOMPARE(isCompanyKatalog(katalog), accepted);
        const std::optional<QString> directory = companyDirectory(list, katalog);
        QCOMPARE(directory.has_value(), accepted);
        if (accepted)
            QCOMPARE(*directory, dir.filePath(QStringLiteral("Biuro/")) + katalog);
    }

    // The company of a directory: the row of SPISFIRM.DAT in its parent folder whose Katalog names it.
    void companyNameOfADirectory_data()
    {
        QTest::addColumn<QString>("directory"); // under the scratch folder; "-" for an empty text
        QTest::addColumn<bool>("mazovia");
        QTest::addColumn<QString>("name");
        QTest::newRow("listed") << "Ksiegi/FIRMA1" << false << "Alfa Sp. z o.o.";
        QTest::newRow("other letter case, trailing slash") << "Ksiegi/firma2/" << false << "Beta";
        QTest::newRow("Mazovia names") << "Ksiegi/LODZ" << true << "Łódź";
        QTest::newRow("not listed") << "Ksiegi/FIRMA9" << false << "";
        QTest::newRow("no list in the parent folder") << "Inne/FIRMA1" << false << "";
        QTest::newRow("the list's own folder") << "Ksiegi" << false << "";
        QTest::newRow("empty text") << "-" << false << "";
    }

    void companyNameOfADirectory()
    {
        QFETCH(QString, directory);
        QFETCH(bool, mazovia);
        QFETCH(QString, name);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Ksiegi")));
        write(QStringLiteral("Ksiegi/SpisFirm.dat"),
              record("Beta", "FIRMA2", "") + record("Alfa Sp. z o.o.", "FIRMA1", "") +
                  record(bytes({156, 162, 100, 166}), "LODZ", "") + record("Pusty", "", ""));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Inne/FIRMA1")));
        const QString path = directory == QLatin1String("-") ? QString() : dir.filePath(directory);
        const PolishEncoding encoding = mazovia ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
        QCOMPARE(companyNameOf(path, encoding), name);
        // Looked up again as the window does at every keystroke: a list changed meanwhile is read anew.
        CompanyNameLookup lookup;
        QCOMPARE(lookup.nameOf(path, encoding), name);
        write(QStringLiteral("Ksiegi/SpisFirm.dat"),
              record("Gamma", "FIRMA1", "") + record("Delta", "firma2", ""));
        const QString renamed = directory.contains(QLatin1String("FIRMA1")) && directory.startsWith("Ksiegi")
                                    ? QStringLiteral("Gamma")
                                : directory.startsWith(QLatin1String("Ksiegi/firma2"))
                                    ? QStringLiteral("Delta")
                                    : QString();
        QCOMPARE(lookup.nameOf(path, encoding), renamed);
    }
};

QTEST_GUILESS_MAIN(TestCompanyList)
#include "test_company_list.moc"
