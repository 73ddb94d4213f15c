// The binding of a settings file to a real window, on the offscreen platform:
// restore at the first showing, save at an accepted close or at destruction.
#include "ui/WindowSettings.h"

#include "encoding/Windows1250.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace przenosnik;

namespace {

const QRect kDesigned(306, 145, 456, 428);

// A window built the way the program's windows use the binding.
class TestWindow : public QDialog
{
public:
    TestWindow(const QString& directory, bool isMain)
        : mCheck(new QCheckBox(this)), mEdit(new QLineEdit(this)),
          mSettings(this, QStringLiteral("C:\\KPR\\TEST.INI"), QStringLiteral("TEST"),
                    {StoredValue::boolean(
                         QStringLiteral("chb_kod_Checked"), [this] { return mCheck->isChecked(); },
                         [this](bool v) { mCheck->setChecked(v); }),
                     StoredValue::string(
                         QStringLiteral("Edit_OPIS_Text"), [this] { return mEdit->text(); },
                         [this](const QString& v) { mEdit->setText(v); })},
                    isMain, directory)
    {
        setGeometry(kDesigned);
        mEdit->setText(QStringLiteral("designed"));
    }

    bool refuseClose = false;
    QCheckBox* mCheck;
    QLineEdit* mEdit;
    WindowSettings mSettings;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (refuseClose)
            event->ignore();
        else
            QDialog::closeEvent(event);
    }
};

} // namespace

class WindowSettingsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> mDir;

    QString filePath() const { return QDir(mDir->path()).filePath(QStringLiteral("TEST.INI")); }
    std::unique_ptr<TestWindow> window(bool isMain = false)
    {
        return std::make_unique<TestWindow>(mDir->path(), isMain);
    }
    IniFile written() const { return IniFile::fromBytes(test::readFile(filePath())); }
    QByteArray placementLines(const QRect& rect) const
    {
        const ScreenInfo screen = WindowSettings::currentScreen(nullptr);
        const QString pos = formatPosition(positionOf(rect));
        return QStringLiteral("[TEST]\nPixelsPerInch=%1\nNormPos(%2x%3)=%4\n")
            .arg(screen.pixelsPerInch)
            .arg(screen.desktop.width())
            .arg(screen.desktop.height())
            .arg(pos)
            .toLatin1();
    }

private Q_SLOTS:
    void init()
    {
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY(mDir->isValid());
    }

    void firstRunSavesEverythingAtDestruction()
    {
        QRect normal;
        {
            auto w = window();
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            w->mCheck->setChecked(true);
            w->mEdit->setText(QStringLiteral("Sprzedaż"));
            normal = w->normalGeometry();
            QVERIFY(w->close());
            QVERIFY(w->mSettings.wasSaved());
            QVERIFY(!QFile::exists(filePath()));
        }
        const ScreenInfo screen = WindowSettings::currentScreen(nullptr);
        const QString size = QStringLiteral("%1x%2").arg(screen.desktop.width()).arg(screen.desktop.height());
        const QString pos = formatPosition(positionOf(normal));
        const QString expected =
            QStringLiteral("[TEST]\r\nFormVersion=0\r\nShowCmd=1\r\nFlags=0\r\nPixelsPerInch=%1\r\n"
                           "MinMaxPos(%2)=-1,-1,-1,-1\r\nMinMaxPos=-1,-1,-1,-1\r\n"
                           "NormPos(%2)=%3\r\nNormPos=%3\r\n"
                           "chb_kod_Checked=TRUE\r\nEdit_OPIS_Text=Sprzedaż\r\n\r\n")
                .arg(screen.pixelsPerInch)
                .arg(size, pos);
        PRZ_COMPARE_BYTES(test::readFile(filePath()), encodeWindows1250(expected));
    }

    void restoresPlacementAndValuesAtFirstShow()
    {
        const QRect stored(40, 30, 500, 420);
        QVERIFY(test::writeFile(filePath(), placementLines(stored) + "chb_kod_Checked=yes\n"
                                                                     "Edit_OPIS_Text=  z pliku  \n"));
        auto w = window();
        QCOMPARE(w->geometry(), kDesigned);
        QCOMPARE(w->mEdit->text(), QStringLiteral("designed"));
        w->show();
        QCOMPARE(w->geometry(), stored);
        QVERIFY(w->mCheck->isChecked());
        QCOMPARE(w->mEdit->text(), QStringLiteral("z pliku"));

        // Later showings restore nothing again.
        w->hide();
        w->mEdit->setText(QStringLiteral("changed"));
        w->show();
        QCOMPARE(w->mEdit->text(), QStringLiteral("changed"));
    }

    void ignoresRectangleFromOtherResolutionOrOffScreen_data()
    {
        QTest::addColumn<int>("pixelsPerInchChange");
        QTest::addColumn<QRect>("stored");
        QTest::newRow("other resolution") << 24 << QRect(40, 30, 500, 420);
        QTest::newRow("off every screen") << 0 << QRect(-5000, -5000, 500, 420);
    }

    void ignoresRectangleFromOtherResolutionOrOffScreen()
    {
        QFETCH(int, pixelsPerInchChange);
        QFETCH(QRect, stored);
        const ScreenInfo screen = WindowSettings::currentScreen(nullptr);
        QVERIFY(test::writeFile(filePath(),
                                QStringLiteral("[TEST]\nPixelsPerInch=%1\nNormPos=%2\nEdit_OPIS_Text=x\n")
                                    .arg(screen.pixelsPerInch + pixelsPerInchChange)
                                    .arg(formatPosition(positionOf(stored)))
                                    .toLatin1()));
        auto w = window();
        w->show();
        QCOMPARE(w->geometry(), kDesigned);
        QCOMPARE(w->mEdit->text(), QStringLiteral("x"));
    }

    // Whatever the stored placement and the scale, the whole window opens on a screen.
    void wholeWindowStaysOnTheScreen_data()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::addColumn<QRect>("designed");
        QTest::addColumn<QRect>("stored"); // none when empty
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("expected"); // the window's rectangle, or its frame's when moved
        QTest::addColumn<bool>("moved");
        const QPoint nearEnd = screen.bottomRight() - QPoint(100, 100);
        QTest::newRow("stored, whole on the screen")
            << kDesigned << QRect(40, 30, 500, 420) << QSize() << QRect(40, 30, 500, 420) << false;
        QTest::newRow("stored, but the window's minimum reaches over the edge")
            << kDesigned << QRect(nearEnd - QPoint(100, 100), QSize(150, 120)) << QSize(456, 428) << kDesigned
            << false;
        QTest::newRow("designed position over the edge")
            << QRect(nearEnd, kDesigned.size()) << QRect() << QSize() << QRect(QPoint(), kDesigned.size())
            << true;
        QTest::newRow("larger than the screen") << QRect(0, 0, screen.width() + 200, screen.height() + 100)
                                                << QRect() << QSize() << screen << true;
    }

    void wholeWindowStaysOnTheScreen()
    {
        QFETCH(QRect, designed);
        QFETCH(QRect, stored);
        QFETCH(QSize, minimum);
        QFETCH(QRect, expected);
        QFETCH(bool, moved);
        if (!stored.isNull())
            QVERIFY(test::writeFile(filePath(), placementLines(stored)));
        auto w = window();
        if (minimum.isValid())
            w->setMinimumSize(minimum);
        w->setGeometry(designed);
        w->show();
        const QRect available = w->screen()->availableGeometry();
        QVERIFY(available.contains(w->frameGeometry()));
        if (!moved) {
            QCOMPARE(w->geometry(), expected);
        } else if (expected == available) {
            QCOMPARE(w->frameGeometry(), available); // shrunk to the screen
        } else {
            // Moved as little as it takes: its frame ends at the screen's corner, its size kept.
            QCOMPARE(w->frameGeometry().bottomRight(), available.bottomRight());
            QCOMPARE(w->size(), expected.size());
        }
    }

    void negativeFormVersionRestoresNothing()
    {
        QVERIFY(test::writeFile(filePath(), "[TEST]\nFormVersion=-1\nShowCmd=3\nEdit_OPIS_Text=x\n"));
        auto w = window();
        w->show();
        QCOMPARE(w->mEdit->text(), QStringLiteral("designed"));
        QVERIFY(!w->isMaximized());
    }

    void restoresShowState_data()
    {
        QTest::addColumn<int>("showCmd");
        QTest::addColumn<bool>("isMain");
        QTest::addColumn<int>("state");
        QTest::newRow("maximized") << 3 << false << int(Qt::WindowMaximized);
        QTest::newRow("normal") << 9 << true << int(Qt::WindowNoState);
        QTest::newRow("minimized dialog") << 2 << false << int(Qt::WindowMinimized);
        QTest::newRow("minimized main window") << 7 << true << int(Qt::WindowMinimized);
    }

    void restoresShowState()
    {
        QFETCH(int, showCmd);
        QFETCH(bool, isMain);
        QFETCH(int, state);
        QVERIFY(test::writeFile(filePath(), QStringLiteral("[TEST]\nShowCmd=%1\n").arg(showCmd).toLatin1()));
        auto w = window(isMain);
        w->show();
        QCOMPARE(int(w->windowState()), state);
    }

    void savesMaximizedStateAndNormalRectangle()
    {
        {
            auto w = window();
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            w->showMaximized();
            QVERIFY(w->close());
        }
        const IniFile file = written();
        QCOMPARE(file.value(u"TEST", u"ShowCmd"), std::optional<QString>("3"));
        QCOMPARE(file.value(u"TEST", u"NormPos"),
                 std::optional<QString>(formatPosition(positionOf(kDesigned))));
    }

    void neverShownWindowSavesNothing()
    {
        {
            auto w = window();
        }
        QVERIFY(!QFile::exists(filePath()));

        QVERIFY(test::writeFile(filePath(), "[TEST]\nEdit_OPIS_Text=x\n"));
        {
            auto w = window();
            QVERIFY(!w->mSettings.wasShown());
        }
        QCOMPARE(written().keys(u"TEST"), QStringList({"Edit_OPIS_Text"}));
    }

    void refusedCloseDoesNotSaveButDestructionDoes()
    {
        {
            auto w = window();
            w->show();
            w->refuseClose = true;
            QVERIFY(!w->close());
            QVERIFY(!w->mSettings.wasSaved());
            w->mEdit->setText(QStringLiteral("at destruction"));
        }
        QCOMPARE(written().value(u"TEST", u"Edit_OPIS_Text"), std::optional<QString>("at destruction"));
    }

    void acceptedDialogSavesAtClose()
    {
        {
            auto w = window();
            w->show();
            w->mEdit->setText(QStringLiteral("before accept"));
            w->accept();
            QVERIFY(w->mSettings.wasSaved());
            // What changes after the close is not saved again.
            w->mEdit->setText(QStringLiteral("after accept"));
        }
        QCOMPARE(written().value(u"TEST", u"Edit_OPIS_Text"), std::optional<QString>("before accept"));
    }

    void readOnlyFileIsNotRewritten()
    {
        const QByteArray original("; mine\n[TEST]\nEdit_OPIS_Text=x\n");
        QVERIFY(test::writeFile(filePath(), original));
        QVERIFY(QFile::setPermissions(filePath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        {
            auto w = window();
            w->show();
            QCOMPARE(w->mEdit->text(), QStringLiteral("x"));
            w->mEdit->setText(QStringLiteral("y"));
            QVERIFY(w->close());
        }
        PRZ_COMPARE_BYTES(test::readFile(filePath()), original);
    }
};

QTEST_MAIN(WindowSettingsTest)
#include "test_window_settings.moc"
