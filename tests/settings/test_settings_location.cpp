// Where the program's settings files live: next to the executable when its
// directory can be written, otherwise in the user's configuration directory,
// starting from the copy next to the executable.
#include "platform/SystemPaths.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace przenosnik;
using przenosnik::test::readFile;
using przenosnik::test::writeFile;

namespace {
constexpr auto ReadOnlyDirectory = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                   QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
constexpr auto WritableDirectory = ReadOnlyDirectory | QFileDevice::WriteOwner;
// Windows keeps no write bits on folders: its access lists decide, and the
// trial write tells (this test runs with the rights to write anywhere).
constexpr const char* NoWriteBits = "Windows folders have no write bits to take away";
} // namespace

class SettingsLocationTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> mRoot;
    SettingsPlaces mPlaces;

    QString programFile() const
    {
        return QDir(mPlaces.programDirectory).filePath(QStringLiteral("PRZENOSN.INI"));
    }
    QString configFile() const
    {
        return QDir(mPlaces.configDirectory).filePath(QStringLiteral("PRZENOSN.INI"));
    }

    void lockProgramDirectory(bool locked)
    {
        QVERIFY(
            QFile::setPermissions(mPlaces.programDirectory, locked ? ReadOnlyDirectory : WritableDirectory));
    }

private Q_SLOTS:
    void init()
    {
        mRoot = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(mRoot->path()).mkdir(QStringLiteral("bin")));
        // The configuration directory does not exist until a file is written there.
        mPlaces = {QDir(mRoot->path()).filePath(QStringLiteral("bin")),
                   QDir(mRoot->path()).filePath(QStringLiteral("home/.config/przenosnik"))};
    }

    void cleanup()
    {
        lockProgramDirectory(false);
        mRoot.reset();
    }

    void writabilityNeedsTheBitsAndARealWrite_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("writable");
        QTest::newRow("writable directory") << "writable" << true;
        // Even the super-user, who may write there, leaves such a directory alone.
        QTest::newRow("no write bit") << "locked" << false;
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("a file") << "file" << false;
        QTest::newRow("empty name") << "" << false;
    }

    void writabilityNeedsTheBitsAndARealWrite()
    {
        QFETCH(QString, kind);
        QFETCH(bool, writable);
        QString directory = mPlaces.programDirectory;
        if (kind == QLatin1String("locked") && platform::DrivePaths)
            QSKIP(NoWriteBits);
        if (kind == QLatin1String("locked"))
            lockProgramDirectory(true);
        else if (kind == QLatin1String("missing"))
            directory = mPlaces.configDirectory;
        else if (kind == QLatin1String("file"))
            QVERIFY(writeFile(directory = programFile(), "[MAIN]\n"));
        else if (kind.isEmpty())
            directory.clear();
        QCOMPARE(canKeepSettingsIn(directory), writable);
        // The trial write leaves nothing behind.
        QCOMPARE(
            QDir(mPlaces.programDirectory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            kind == QLatin1String("file") ? QStringList{QStringLiteral("PRZENOSN.INI")} : QStringList{});
    }

    void fileIsPlacedAndReadWhereItBelongs_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("home"); // a usable home gives a configuration directory
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("inConfig");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("own folder, nothing yet") << false << false << true << false << false << "program"
                                                 << "program";
        QTest::newRow("own folder ignores the user's copy")
            << false << false << true << true << true << "program"
            << "program";
        QTest::newRow("installed, nothing yet") << true << false << true << false << false << "config"
                                                << "program";
        QTest::newRow("installed, carried over") << true << false << true << true << false << "config"
                                                 << "program";
        QTest::newRow("installed, own copy first") << true << false << true << true << true << "config"
                                                   << "config";
        QTest::newRow("installed, own copy alone") << true << false << true << false << true << "config"
                                                   << "config";
        // Under a system prefix even a folder that can be written (root,
        // an administrator) is left alone.
        QTest::newRow("system prefix, writable, carried over")
            << false << true << true << true << false << "config"
            << "program";
        QTest::newRow("system prefix, writable, own copy")
            << false << true << true << true << true << "config"
            << "config";
        QTest::newRow("no home, own folder") << false << false << false << true << false << "program"
                                             << "program";
        QTest::newRow("no home, locked folder") << true << false << false << true << false << "nowhere"
                                                << "program";
        QTest::newRow("no home, system prefix") << false << true << false << true << false << "nowhere"
                                                << "program";
    }

    void fileIsPlacedAndReadWhereItBelongs()
    {
        QFETCH(bool, locked);
        QFETCH(bool, installed);
        QFETCH(bool, home);
        QFETCH(bool, besideProgram);
        QFETCH(bool, inConfig);
        QFETCH(QString, written);
        QFETCH(QString, read);
        if (locked && platform::DrivePaths)
            QSKIP(NoWriteBits);
        if (!home)
            mPlaces.configDirectory.clear();
        if (besideProgram)
            QVERIFY(writeFile(programFile(), "[MAIN]\n"));
        if (inConfig) {
            QVERIFY(QDir().mkpath(mPlaces.configDirectory));
            QVERIFY(writeFile(configFile(), "[MAIN]\n"));
        }
        lockProgramDirectory(locked);
        mPlaces.installed = installed;
        const SettingsLocation location =
            locateSettingsFile(mPlaces, QStringLiteral("c:\\kpr\\PRZENOSN.INI"));
        const auto where = [this](const QString& place) {
            if (place == QLatin1String("nowhere"))
                return QString();
            return place == QLatin1String("program") ? programFile() : configFile();
        };
        QCOMPARE(location.path, where(written));
        QCOMPARE(location.readPath, where(read));
        QCOMPARE(location.inConfigDirectory, written == QLatin1String("config"));
    }

    void unsetHomeGivesNoConfigDirectory()
    {
        if (platform::DrivePaths)
            QSKIP("Windows names the user's settings folder whatever HOME says");
        const QByteArray home = qgetenv("HOME");
        qunsetenv("HOME");
        const SettingsPlaces places = SettingsPlaces::standard();
        qputenv("HOME", home);
        QCOMPARE(places.configDirectory, QString());
        QVERIFY(!SettingsPlaces::standard().configDirectory.isEmpty());
    }

    void installedProgramCarriesItsValuesOver()
    {
        const QByteArray beside("[MAIN]\r\nFE_EPP_Text=stary.txt\r\nde_KPR_Text=/kpr\r\n\r\n");
        QVERIFY(writeFile(programFile(), beside));
        if (platform::DrivePaths)
            mPlaces.installed = true; // Windows folders have no write bits to take away
        else
            lockProgramDirectory(true);
        {
            SettingsStore store(QStringLiteral("PRZENOSN.INI"), QStringLiteral("MAIN"), mPlaces);
            QCOMPARE(store.value(QStringLiteral("de_KPR_Text")),
                     std::optional<QString>(QStringLiteral("/kpr")));
            store.setValue(QStringLiteral("FE_EPP_Text"), QStringLiteral("nowy.txt"));
        }
        const QByteArray kept("[MAIN]\r\nFE_EPP_Text=nowy.txt\r\nde_KPR_Text=/kpr\r\n\r\n");
        PRZ_COMPARE_BYTES(readFile(configFile()), kept);
        PRZ_COMPARE_BYTES(readFile(programFile()), beside);
        // The next start reads the user's own copy, no longer the one beside the program.
        SettingsStore again(QStringLiteral("PRZENOSN.INI"), QStringLiteral("MAIN"), mPlaces);
        QCOMPARE(again.value(QStringLiteral("FE_EPP_Text")),
                 std::optional<QString>(QStringLiteral("nowy.txt")));
    }
};

QTEST_GUILESS_MAIN(SettingsLocationTest)
#include "test_settings_location.moc"
