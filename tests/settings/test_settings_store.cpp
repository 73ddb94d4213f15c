// The settings store: where its file lives, when it is read and written, and
// the files it must leave alone.
#include "settings/SettingsStore.h"

#include "platform/SystemPaths.h"
#include "support/SystemFaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using przenosnik::test::readFile;
using przenosnik::test::writeFile;

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    QString path(const QString& name) const { return QDir(mDir.path()).filePath(name); }

private Q_SLOTS:
    void init()
    {
        // Every test starts with an empty directory.
        const QStringList entries = QDir(mDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (const QString& entry : entries) {
            QFile::setPermissions(path(entry), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QDir(path(entry)).removeRecursively();
            QFile::remove(path(entry));
        }
    }

    void onlyTheFileNamePartCounts_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::newRow("bare name") << QStringLiteral("PRZENOSN.INI");
        QTest::newRow("forward slashes") << QStringLiteral("/etc/somewhere/PRZENOSN.INI");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Program Files\\KPR\\PRZENOSN.INI");
        QTest::newRow("relative") << QStringLiteral("..\\up/PRZENOSN.INI");
    }

    void onlyTheFileNamePartCounts()
    {
        QFETCH(QString, configured);
        QCOMPARE(settingsFilePath(mDir.path(), configured), path(QStringLiteral("PRZENOSN.INI")));
    }

    // Where names ignore letter case the name as configured opens it as it is.
    void existingFileDifferingInCaseIsUsed()
    {
        QVERIFY(writeFile(path(QStringLiteral("przenosn.ini")), "[MAIN]\nk=lower\n"));
        QCOMPARE(settingsFilePath(mDir.path(), QStringLiteral("PRZENOSN.INI")),
                 test::foundAs(path(QStringLiteral("PRZENOSN.INI")), path(QStringLiteral("przenosn.ini"))));
        {
            SettingsStore store(QStringLiteral("PRZENOSN.INI"), QStringLiteral("MAIN"), mDir.path());
            QCOMPARE(store.value(QStringLiteral("k")), std::optional<QString>(QStringLiteral("lower")));
            store.setValue(QStringLiteral("k"), QStringLiteral("again"));
        }
        QCOMPARE(QDir(mDir.path()).entryList(QDir::Files).size(), 1);
        if (!platform::NamesIgnoreCase)
            QVERIFY(!QFile::exists(path(QStringLiteral("PRZENOSN.INI"))));
        PRZ_COMPARE_BYTES(readFile(path(QStringLiteral("przenosn.ini"))), "[MAIN]\r\nk=again\r\n\r\n");
    }

    void exactNameWinsOverOtherCase()
    {
        QVERIFY(writeFile(path(QStringLiteral("przenosn.ini")), "[MAIN]\n"));
        QVERIFY(writeFile(path(QStringLiteral("PRZENOSN.INI")), "[MAIN]\n"));
        QCOMPARE(settingsFilePath(mDir.path(), QStringLiteral("PRZENOSN.INI")),
                 path(QStringLiteral("PRZENOSN.INI")));
    }

    void missingFileIsCreatedAtDestruction()
    {
        const QString file = path(QStringLiteral("SPISCFG.INI"));
        {
            SettingsStore store(QStringLiteral("SPISCFG.INI"), QStringLiteral("SPISFIRM"), mDir.path());
            QVERIFY(!store.contains(QStringLiteral("FilenameEdit_FileName")));
            store.setValue(QStringLiteral("FilenameEdit_FileName"),
                           QStringLiteral("c:\\kpr_zn\\spisfirm.dat"));
            // Only the memory changes until the store goes.
            QVERIFY(!QFile::exists(file));
        }
        PRZ_COMPARE_BYTES(readFile(file),
                          "[SPISFIRM]\r\nFilenameEdit_FileName=c:\\kpr_zn\\spisfirm.dat\r\n\r\n");
    }

    void storeThatSavedNothingCreatesNoFile()
    {
        {
            SettingsStore store(QStringLiteral("SPISCFG.INI"), QStringLiteral("SPISFIRM"), mDir.path());
        }
        QVERIFY(!QFile::exists(path(QStringLiteral("SPISCFG.INI"))));
    }

    void fileIsReadOnceAtCreation()
    {
        const QString file = path(QStringLiteral("PRZENOSN.INI"));
        QVERIFY(writeFile(file, "; kept until the rewrite\n[MAIN]\nA=1\n"));
        {
            SettingsStore store(QStringLiteral("PRZENOSN.INI"), QStringLiteral("main"), mDir.path());
            // Edits made while the store lives are not seen, and are overwritten.
            QVERIFY(writeFile(file, "[MAIN]\nA=2\nB=3\n"));
            QCOMPARE(store.value(QStringLiteral("a")), std::optional<QString>(QStringLiteral("1")));
            QVERIFY(!store.contains(QStringLiteral("B")));
        }
        PRZ_COMPARE_BYTES(readFile(file), "[MAIN]\r\nA=1\r\n\r\n");
    }

    void rewriteKeepsPermissions()
    {
        if (!test::havePosixFaults())
            QSKIP("Windows keeps no permission bits of a group, only the read-only attribute");
        const QString file = path(QStringLiteral("PRZENOSN.INI"));
        const QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ReadGroup | QFileDevice::WriteGroup;
        QVERIFY(writeFile(file, "[MAIN]\n"));
        QVERIFY(QFile::setPermissions(file, permissions));
        {
            SettingsStore store(QStringLiteral("PRZENOSN.INI"), QStringLiteral("MAIN"), mDir.path());
            store.setValue(QStringLiteral("A"), QStringLiteral("1"));
            QVERIFY(store.writeFile());
        }
        // The "user" bits describe whoever runs the test, not the file.
        const QFileDevice::Permissions user =
            QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
        QCOMPARE(QFile::permissions(file) & ~user, permissions);
        PRZ_COMPARE_BYTES(readFile(file), "[MAIN]\r\nA=1\r\n\r\n");
    }

    void readOnlyFileIsNeverWritten()
    {
        const QString file = path(QStringLiteral("PRZENOSN.INI"));
        const QByteArray original("; hand made\n[MAIN]\nFE_EPP_Text=x.txt\n");
        QVERIFY(writeFile(file, original));
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
        QVERIFY(isMarkedReadOnly(file));
        {
            SettingsStore store(QStringLiteral("PRZENOSN.INI"), QStringLiteral("MAIN"), mDir.path());
            QCOMPARE(store.value(QStringLiteral("FE_EPP_Text")),
                     std::optional<QString>(QStringLiteral("x.txt")));
            store.setValue(QStringLiteral("FE_EPP_Text"), QStringLiteral("y.txt"));
            QVERIFY(!store.writeFile());
        }
        PRZ_COMPARE_BYTES(readFile(file), original);
    }

    void readOnlyMarkIsTheOwnerWriteBit_data()
    {
        QTest::addColumn<int>("permissions");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("0644") << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ReadGroup)
                              << false;
        QTest::newRow("0444") << int(QFileDevice::ReadOwner | QFileDevice::ReadGroup) << true;
        QTest::newRow("0466 group may write")
            << int(QFileDevice::ReadOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther) << true;
        QTest::newRow("0200 write only") << int(QFileDevice::WriteOwner) << false;
    }

    void readOnlyMarkIsTheOwnerWriteBit()
    {
        QFETCH(int, permissions);
        QFETCH(bool, readOnly);
        // Windows' one mark is the read-only attribute, set when nobody may write.
        if (permissions & (QFileDevice::WriteGroup | QFileDevice::WriteOther) && !test::havePosixFaults())
            QSKIP("Windows has no owner, group and other write bits, only the read-only attribute");
        const QString file = path(QStringLiteral("mark.ini"));
        QVERIFY(writeFile(file, "[A]\n"));
        QVERIFY(QFile::setPermissions(file, QFileDevice::Permissions(permissions)));
        QCOMPARE(isMarkedReadOnly(file), readOnly);
        QVERIFY(!isMarkedReadOnly(path(QStringLiteral("missing.ini"))));
    }

    void failedWriteIsIgnored()
    {
        // A directory in the file's place cannot be written, whoever runs the test.
        QVERIFY(QDir(mDir.path()).mkdir(QStringLiteral("PRZENOSN.INI")));
        {
            SettingsStore store(QStringLiteral("PRZENOSN.INI"), QStringLiteral("MAIN"), mDir.path());
            QVERIFY(store.contents().sections().isEmpty());
            store.setValue(QStringLiteral("A"), QStringLiteral("1"));
            QVERIFY(!store.writeFile());
        }
        QVERIFY(QFileInfo(path(QStringLiteral("PRZENOSN.INI"))).isDir());

        SettingsStore nowhere(QStringLiteral("X.INI"), QStringLiteral("S"),
                              path(QStringLiteral("no/such/dir")));
        nowhere.setValue(QStringLiteral("A"), QStringLiteral("1"));
        QVERIFY(!nowhere.writeFile());
    }

    void rewriteKeepsForeignSectionsAndOrder()
    {
        const QString file = path(QStringLiteral("PRZENOSN.INI"));
        QVERIFY(writeFile(file,
                          "before=dropped\n[Foreign]\n  Mine = 7 \n;comment\n\n[MAIN]\nchb_kod_Checked=yes\n"
                          "Other=keep\nFormVersion=0\n"));
        {
            SettingsStore store(QStringLiteral("PRZENOSN.INI"), QStringLiteral("MAIN"), mDir.path());
            store.setValue(QStringLiteral("FormVersion"), QStringLiteral("0"));
            store.setValue(QStringLiteral("ShowCmd"), QStringLiteral("1"));
            store.setValue(QStringLiteral("CHB_KOD_CHECKED"), QStringLiteral("TRUE"));
        }
        PRZ_COMPARE_BYTES(readFile(file),
                          "[Foreign]\r\nMine=7\r\n\r\n[MAIN]\r\nchb_kod_Checked=TRUE\r\nOther=keep\r\n"
                          "FormVersion=0\r\nShowCmd=1\r\n\r\n");
    }

    void utf8MarkIsKept()
    {
        const QString file = path(QStringLiteral("SPISCFG.INI"));
        QVERIFY(
            writeFile(file, "\xEF\xBB\xBF[SPISFIRM]\r\nFilenameEdit_FileName=C:\\Księgi\\spisfirm.dat\r\n"));
        {
            SettingsStore store(QStringLiteral("SPISCFG.INI"), QStringLiteral("SPISFIRM"), mDir.path());
            QCOMPARE(store.value(QStringLiteral("FilenameEdit_FileName")),
                     std::optional<QString>(QStringLiteral("C:\\Księgi\\spisfirm.dat")));
            store.setValue(QStringLiteral("FormVersion"), QStringLiteral("0"));
        }
        PRZ_COMPARE_BYTES(readFile(file),
                          "\xEF\xBB\xBF[SPISFIRM]\r\nFilenameEdit_FileName=C:\\Księgi\\spisfirm.dat\r\n"
                          "FormVersion=0\r\n\r\n");
    }

    void storeInMemoryNeverWrites()
    {
        SettingsStore store(QStringLiteral("MAIN"), IniFile::fromBytes("[MAIN]\nA=1\n"));
        QVERIFY(store.filePath().isEmpty());
        QVERIFY(!store.writeFile());
        QCOMPARE(store.value(QStringLiteral("A")), std::optional<QString>(QStringLiteral("1")));
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "test_settings_store.moc"
