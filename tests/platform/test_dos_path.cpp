// Finding DOS-named paths in the letter case they have on disk.
#include "platform/DosPath.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace przenosnik;

class TestDosPath : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString at(const QString& relative) const { return dir.filePath(relative); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QDir root(dir.path());
        QVERIFY(root.mkpath(QStringLiteral("KPR_ZN/firma1")));
        // Where names ignore letter case the second is the first.
        QVERIFY(root.mkpath(QStringLiteral("KPR_ZN/Firma2")));
        QVERIFY(root.mkpath(QStringLiteral("KPR_ZN/FIRMA2")));
        QVERIFY(root.mkpath(QStringLiteral("Łódź")));
        QVERIFY(test::writeFile(at(QStringLiteral("KPR_ZN/SPISFIRM.DAT")), "x"));
        QVERIFY(root.mkpath(QStringLiteral("kinds/Katalog")));
        QVERIFY(test::writeFile(at(QStringLiteral("kinds/Plik")), "x"));
        if (test::havePosixFaults()) {
            QVERIFY(QFile::link(QStringLiteral("Plik"), at(QStringLiteral("kinds/DoPliku"))));
            QVERIFY(QFile::link(QStringLiteral("Katalog"), at(QStringLiteral("kinds/DoKatalogu"))));
            QVERIFY(QFile::link(QStringLiteral("nic"), at(QStringLiteral("kinds/Zerwany"))));
        }
    }

    // Each entry as written in upper case; what each kind of look-up answers.
    void findsEntriesOfKinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("any");
        QTest::addColumn<QString>("noDirectories");
        QTest::addColumn<QString>("noDirectoryOrLinkToOne");
        QTest::newRow("file") << "PLIK"
                              << "Plik"
                              << "Plik"
                              << "Plik";
        QTest::newRow("directory") << "KATALOG"
                                   << "Katalog" << QString() << QString();
        QTest::newRow("link to a file") << "DOPLIKU"
                                        << "DoPliku"
                                        << "DoPliku"
                                        << "DoPliku";
        QTest::newRow("link to a directory") << "DOKATALOGU"
                                             << "DoKatalogu"
                                             << "DoKatalogu" << QString();
        QTest::newRow("dangling link") << "ZERWANY"
                                       << "Zerwany"
                                       << "Zerwany"
                                       << "Zerwany";
        QTest::newRow("nothing") << "BRAK" << QString() << QString() << QString();
    }

    void findsEntriesOfKinds()
    {
        QFETCH(QString, name);
        QFETCH(QString, any);
        QFETCH(QString, noDirectories);
        QFETCH(QString, noDirectoryOrLinkToOne);
        if (QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("link")) &&
            !test::havePosixFaults())
            QSKIP(test::NoSymbolicLinks);
        const QString kinds = at(QStringLiteral("kinds"));
        QCOMPARE(findEntryIgnoringCase(kinds, name, EntryKinds::Any), any);
        QCOMPARE(findEntryIgnoringCase(kinds, name, EntryKinds::NoDirectories), noDirectories);
        QCOMPARE(findEntryIgnoringCase(kinds, name, EntryKinds::NoDirectoryOrLinkToOne),
                 noDirectoryOrLinkToOne);
    }

    void resolves_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("exact file") << "KPR_ZN/SPISFIRM.DAT"
                                    << "KPR_ZN/SPISFIRM.DAT";
        QTest::newRow("lower-case file") << "KPR_ZN/spisfirm.dat"
                                         << "KPR_ZN/SPISFIRM.DAT";
        QTest::newRow("every component") << "kpr_zn/Spisfirm.Dat"
                                         << "KPR_ZN/SPISFIRM.DAT";
        QTest::newRow("directory") << "kpr_zn/FIRMA1"
                                   << "KPR_ZN/firma1";
        QTest::newRow("trailing separator kept") << "kpr_zn/FIRMA1/"
                                                 << "KPR_ZN/firma1/";
        QTest::newRow("exact variant wins") << "KPR_ZN/Firma2"
                                            << "KPR_ZN/Firma2";
        QTest::newRow("first of several variants") << "KPR_ZN/firma2"
                                                   << "KPR_ZN/FIRMA2";
        QTest::newRow("Polish letters") << QStringLiteral("ŁÓDŹ") << QStringLiteral("Łódź");
        QTest::newRow("missing stays as written") << "kpr_zn/firma9/x.dat"
                                                  << "kpr_zn/firma9/x.dat";
        QTest::newRow("missing first component") << "nic/spisfirm.dat"
                                                 << "nic/spisfirm.dat";
        QTest::newRow("dot-dot") << "kpr_zn/firma1/../spisfirm.dat"
                                 << "KPR_ZN/firma1/../SPISFIRM.DAT";
    }

    // Where names ignore letter case every path opens as written and stays so.
    void resolves()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(resolvePathCase(at(path)), test::foundAs(at(path), at(expected)));
    }

    void relativePathsStayRelative()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString resolved = resolvePathCase(QStringLiteral("kpr_zn/spisfirm.dat"));
        const QString bare = resolvePathCase(QStringLiteral("KPR_ZN/FIRMA1/"));
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(resolved,
                 test::foundAs(QStringLiteral("kpr_zn/spisfirm.dat"), QStringLiteral("KPR_ZN/SPISFIRM.DAT")));
        QCOMPARE(bare, test::foundAs(QStringLiteral("KPR_ZN/FIRMA1/"), QStringLiteral("KPR_ZN/firma1/")));
    }

    void emptyPathStaysEmpty() { QCOMPARE(resolvePathCase(QString()), QString()); }
};

QTEST_GUILESS_MAIN(TestDosPath)
#include "test_dos_path.moc"
