// Window placement as kept in a settings file: key choice, number parsing with
// fallbacks, the checks before a rectangle is applied, show states and the
// order in which a save writes its keys.
#include "settings/SettingsStore.h"
#include "settings/WindowPlacement.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace przenosnik;

Q_DECLARE_METATYPE(przenosnik::PositionNumbers)

namespace {

const QSize kFullHd(1920, 1080);
const QSize kSxga(1280, 1024);

ScreenInfo singleScreen(QSize size, int pixelsPerInch = 96)
{
    return ScreenInfo{size, pixelsPerInch, {QRect(QPoint(0, 0), size)}};
}

SettingsStore storeOf(const char* text)
{
    return SettingsStore(QStringLiteral("MAIN"), IniFile::fromBytes(text));
}

const QRect kDesigned(306, 145, 456, 428);

} // namespace

class WindowPlacementTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mapsShowCommand_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("state");
        const int normal = int(ShowState::Normal);
        const int minimized = int(ShowState::Minimized);
        const int maximized = int(ShowState::Maximized);
        const QList<std::pair<int, int>> cases = {{-1, normal},   {0, normal}, {1, normal}, {2, minimized},
                                                  {3, maximized}, {4, normal}, {5, normal}, {6, minimized},
                                                  {7, minimized}, {8, normal}, {9, normal}, {10, normal},
                                                  {11, normal}};
        for (const auto& [command, state] : cases)
            QTest::addRow("ShowCmd %d", command) << command << state;
    }

    void mapsShowCommand()
    {
        QFETCH(int, command);
        QFETCH(int, state);
        QCOMPARE(int(showStateFromCommand(command)), state);
    }

    void storesShowCommand()
    {
        QCOMPARE(showCommandFor(ShowState::Normal), 1);
        QCOMPARE(showCommandFor(ShowState::Minimized), 2);
        QCOMPARE(showCommandFor(ShowState::Maximized), 3);
    }

    void namesSizedKeys()
    {
        QCOMPARE(minMaxPosKey(kFullHd), QStringLiteral("MinMaxPos(1920x1080)"));
        QCOMPARE(normPosKey(QSize(3840, 1200)), QStringLiteral("NormPos(3840x1200)"));
    }

    void parsesPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PositionNumbers>("expected");
        // The fallback is 306, 145, 456, 428 throughout.
        QTest::newRow("all four") << QStringLiteral("10,20,300,400") << PositionNumbers{10, 20, 300, 400};
        QTest::newRow("negative") << QStringLiteral("-32000,-32000,-1,-1")
                                  << PositionNumbers{-32000, -32000, -1, -1};
        QTest::newRow("blanks around numbers")
            << QStringLiteral(" 1 , 2,3 ,4") << PositionNumbers{1, 2, 3, 4};
        QTest::newRow("one bad number")
            << QStringLiteral("10,x,300,400") << PositionNumbers{10, 145, 300, 400};
        QTest::newRow("empty number") << QStringLiteral("10,,300,") << PositionNumbers{10, 145, 300, 428};
        QTest::newRow("two numbers") << QStringLiteral("10,20") << PositionNumbers{10, 20, 456, 428};
        QTest::newRow("extra numbers ignored") << QStringLiteral("1,2,3,4,5") << PositionNumbers{1, 2, 3, 4};
        QTest::newRow("empty text") << QString() << PositionNumbers{306, 145, 456, 428};
        QTest::newRow("other separator") << QStringLiteral("1;2;3;4") << PositionNumbers{306, 145, 456, 428};
        QTest::newRow("overflowing number")
            << QStringLiteral("1,99999999999,3,4") << PositionNumbers{1, 145, 3, 4};
    }

    void parsesPosition()
    {
        QFETCH(QString, text);
        QFETCH(PositionNumbers, expected);
        QCOMPARE(parsePosition(text, {306, 145, 456, 428}), expected);
    }

    void formatsPosition()
    {
        QCOMPARE(formatPosition({-1, -1, -1, -1}), QStringLiteral("-1,-1,-1,-1"));
        QCOMPARE(formatPosition({306, 145, 762, 573}), QStringLiteral("306,145,762,573"));
        QCOMPARE(positionOf(QRect(306, 145, 456, 428)), (PositionNumbers{306, 145, 762, 573}));
    }

    void prefersKeyOfCurrentDesktop()
    {
        const SettingsStore store =
            storeOf("[MAIN]\nNormPos=1,1,2,2\nNormPos(1920x1080)=3,3,4,4\nnormpos(1280X1024)=5,5,6,6\n");
        QCOMPARE(storedPosition(store, QStringLiteral("NormPos"), kFullHd),
                 std::optional<QString>("3,3,4,4"));
        QCOMPARE(storedPosition(store, QStringLiteral("NormPos"), kSxga), std::optional<QString>("5,5,6,6"));
        QCOMPARE(storedPosition(store, QStringLiteral("NormPos"), QSize(800, 600)),
                 std::optional<QString>("1,1,2,2"));
        QCOMPARE(storedPosition(store, QStringLiteral("MinMaxPos"), kFullHd), std::nullopt);
    }

    void checksRectangleBeforeUse_data()
    {
        QTest::addColumn<PositionNumbers>("rect");
        QTest::addColumn<int>("pixelsPerInch");
        QTest::addColumn<bool>("usable");
        // Two monitors side by side: 0..1919 and 1920..3199 (the second is 1280 x 1024).
        QTest::newRow("inside the first") << PositionNumbers{306, 145, 762, 573} << 96 << true;
        QTest::newRow("other resolution") << PositionNumbers{306, 145, 762, 573} << 120 << false;
        QTest::newRow("left equals right") << PositionNumbers{306, 145, 306, 573} << 96 << false;
        QTest::newRow("left after right") << PositionNumbers{700, 145, 306, 573} << 96 << false;
        QTest::newRow("exactly the first screen") << PositionNumbers{0, 0, 1920, 1080} << 96 << true;
        QTest::newRow("spanning both monitors") << PositionNumbers{1800, 100, 2000, 300} << 96 << true;
        QTest::newRow("on the second") << PositionNumbers{2000, 900, 3200, 1024} << 96 << true;
        QTest::newRow("below the second") << PositionNumbers{2000, 900, 3200, 1025} << 96 << false;
        QTest::newRow("corner off the left") << PositionNumbers{-1, 10, 300, 300} << 96 << false;
        QTest::newRow("in the gap below the second")
            << PositionNumbers{2000, 1030, 2100, 1070} << 96 << false;
        QTest::newRow("far away") << PositionNumbers{-32000, -32000, -31000, -31000} << 96 << false;
        QTest::newRow("bottom at the smallest int")
            << PositionNumbers{10, 10, 20, std::numeric_limits<int>::min()} << 96 << false;
    }

    void checksRectangleBeforeUse()
    {
        QFETCH(PositionNumbers, rect);
        QFETCH(int, pixelsPerInch);
        QFETCH(bool, usable);
        const ScreenInfo screen{QSize(3200, 1080), 96, {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)}};
        QCOMPARE(isPlacementUsable(rect, pixelsPerInch, screen), usable);
    }

    void restoresStoredRectangle()
    {
        const PlacementRestore r = decidePlacement(
            storeOf("[MAIN]\nFormVersion=0\nShowCmd=3\nFlags=0\nPixelsPerInch=96\nMinMaxPos(1920x1080)=-1,-1,"
                    "-8,-8\n"
                    "MinMaxPos=-1,-1,-8,-8\nNormPos(1920x1080)=100,50,600,450\nNormPos=0,0,10,10\n"),
            singleScreen(kFullHd), kDesigned);
        QVERIFY(r.restore);
        QCOMPARE(r.normalGeometry, std::optional<QRect>(QRect(100, 50, 500, 400)));
        QCOMPARE(r.minMaxPosition, (PositionNumbers{-1, -1, -8, -8}));
        QCOMPARE(r.state, ShowState::Maximized);
    }

    void negativeFormVersionRestoresNothing()
    {
        const PlacementRestore r = decidePlacement(
            storeOf("[MAIN]\nFormVersion=-1\nShowCmd=3\nPixelsPerInch=96\nNormPos=100,50,600,450\n"),
            singleScreen(kFullHd), kDesigned);
        QVERIFY(!r.restore);
        QVERIFY(!r.normalGeometry);
        QCOMPARE(r.state, ShowState::Normal);
    }

    void ignoresUnusableRectangles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("no position keys") << QByteArray("[MAIN]\nPixelsPerInch=96\nShowCmd=1\n");
        QTest::newRow("other resolution")
            << QByteArray("[MAIN]\nPixelsPerInch=144\nNormPos=100,50,600,450\n");
        QTest::newRow("off every monitor")
            << QByteArray("[MAIN]\nPixelsPerInch=96\nNormPos=2000,50,2500,450\n");
        QTest::newRow("right edge off") << QByteArray("[MAIN]\nPixelsPerInch=96\nNormPos=1500,50,1921,450\n");
        QTest::newRow("other desktop's key only")
            << QByteArray("[MAIN]\nPixelsPerInch=96\nNormPos(1280x1024)=100,50,600,450\n");
        // The third number falls back to the width, 456, which is left of 500.
        QTest::newRow("bad right falls back to width")
            << QByteArray("[MAIN]\nPixelsPerInch=96\nNormPos=500,50,x,450\n");
    }

    void ignoresUnusableRectangles()
    {
        QFETCH(QByteArray, file);
        const PlacementRestore r =
            decidePlacement(storeOf(file.constData()), singleScreen(kFullHd), kDesigned);
        QVERIFY(r.restore);
        QCOMPARE(r.normalGeometry, std::nullopt);
    }

    void unparsableNumbersFallBackToCurrentGeometry()
    {
        // left, top, width, height of the window stand in for the four numbers.
        const PlacementRestore r = decidePlacement(storeOf("[MAIN]\nPixelsPerInch=96\nNormPos=10,?,?,?\n"),
                                                   singleScreen(kFullHd), kDesigned);
        QCOMPARE(r.normalGeometry, std::optional<QRect>(QRect(QPoint(10, 145), QPoint(455, 427))));

        // With only the minimized/maximized key, the whole rectangle falls back.
        const PlacementRestore m = decidePlacement(storeOf("[MAIN]\nPixelsPerInch=96\nMinMaxPos=1,2,x,4\n"),
                                                   singleScreen(kFullHd), QRect(10, 20, 300, 200));
        QCOMPARE(m.normalGeometry, std::optional<QRect>(QRect(QPoint(10, 20), QPoint(299, 199))));
        QCOMPARE(m.minMaxPosition, (PositionNumbers{1, 2, 0, 4}));
    }

    void missingResolutionMeansTheCurrentOne()
    {
        const PlacementRestore r = decidePlacement(storeOf("[MAIN]\nNormPos=100,50,600,450\n"),
                                                   singleScreen(kFullHd, 120), kDesigned);
        QCOMPARE(r.normalGeometry, std::optional<QRect>(QRect(100, 50, 500, 400)));
    }

    void readsShowStateAndFlags()
    {
        PlacementRestore r =
            decidePlacement(storeOf("[MAIN]\nShowCmd=6\nFlags=1\n"), singleScreen(kFullHd), kDesigned);
        QCOMPARE(r.state, ShowState::Minimized);
        QCOMPARE(r.flags, 1);
        QCOMPARE(r.normalGeometry, std::nullopt);

        r = decidePlacement(storeOf("[MAIN]\nShowCmd=abc\nFlags=?\n"), singleScreen(kFullHd), kDesigned);
        QCOMPARE(r.state, ShowState::Normal);
        QCOMPARE(r.flags, 0);
        QVERIFY(r.restore);
    }

    void saveWritesKeysInOrder()
    {
        SettingsStore store(QStringLiteral("MAIN"), IniFile());
        PlacementSave save;
        save.state = ShowState::Maximized;
        save.pixelsPerInch = 96;
        save.desktop = kFullHd;
        save.normalGeometry = QRect(306, 145, 456, 428);
        savePlacement(store, save);
        PRZ_COMPARE_BYTES(store.contents().toBytes(),
                          "[MAIN]\r\nFormVersion=0\r\nShowCmd=3\r\nFlags=0\r\nPixelsPerInch=96\r\n"
                          "MinMaxPos(1920x1080)=-1,-1,-1,-1\r\nMinMaxPos=-1,-1,-1,-1\r\n"
                          "NormPos(1920x1080)=306,145,762,573\r\nNormPos=306,145,762,573\r\n\r\n");
    }

    // Run one at 1920 x 1080, run two at 1280 x 1024, run three at 1920 x 1080 again.
    void resolutionChangeKeepsOldSizedKey()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto run = [&dir](QSize desktop, const QRect& window) {
            SettingsStore store(QStringLiteral("PRZENOSN.INI"), QStringLiteral("MAIN"), dir.path());
            const PlacementRestore restored = decidePlacement(store, singleScreen(desktop), kDesigned);
            PlacementSave save;
            save.desktop = desktop;
            save.normalGeometry = window;
            savePlacement(store, save);
            return restored.normalGeometry;
        };
        QCOMPARE(run(kFullHd, QRect(100, 50, 400, 300)), std::nullopt);
        // The smaller desktop has no key of its own yet: the plain key of run one counts.
        QCOMPARE(run(kSxga, QRect(10, 20, 400, 300)), std::optional<QRect>(QRect(100, 50, 400, 300)));
        // Run two overwrote the plain key, but the larger desktop finds its own.
        QCOMPARE(run(kFullHd, QRect(0, 0, 100, 100)), std::optional<QRect>(QRect(100, 50, 400, 300)));

        const IniFile file = IniFile::fromBytes(test::readFile(QDir(dir.path()).filePath("PRZENOSN.INI")));
        QCOMPARE(file.value(u"MAIN", u"NormPos(1920x1080)"), std::optional<QString>("0,0,100,100"));
        QCOMPARE(file.value(u"MAIN", u"NormPos(1280x1024)"), std::optional<QString>("10,20,410,320"));
        QCOMPARE(file.value(u"MAIN", u"NormPos"), std::optional<QString>("0,0,100,100"));
        QCOMPARE(file.keys(u"MAIN"), QStringList({"FormVersion", "ShowCmd", "Flags", "PixelsPerInch",
                                                  "MinMaxPos(1920x1080)", "MinMaxPos", "NormPos(1920x1080)",
                                                  "NormPos", "MinMaxPos(1280x1024)", "NormPos(1280x1024)"}));
    }
};

QTEST_GUILESS_MAIN(WindowPlacementTest)
#include "test_window_placement.moc"
