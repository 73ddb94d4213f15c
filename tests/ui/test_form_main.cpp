// The main window's values kept in PRZENOSN.INI: the first start, the keys
// written at the close, the values restored, and the character limits.
#include "FormMainTestTools.h"
#include "ui/FormMain.h"

#include "encoding/Windows1250.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace przenosnik;
using przenosnik::test::child;

namespace {

// The lines of a settings file, written in Windows-1250.
QStringList iniLines(const QString& path)
{
    return decodeWindows1250(test::readFile(path)).split(QStringLiteral("\r\n"));
}

const QStringList ValueKeys{QStringLiteral("RB_852_Checked"),        QStringLiteral("RB_MAZ_Checked"),
                            QStringLiteral("FE_EPP_Text"),           QStringLiteral("Edit_Atrybut_Text"),
                            QStringLiteral("Edit_OPIS_Text"),        QStringLiteral("Edit_REJ_Text"),
                            QStringLiteral("chb_kod_Checked"),       QStringLiteral("de_KPR_Text"),
                            QStringLiteral("chb_Sym2006_Checked"),   QStringLiteral("chb_def_opis_Checked"),
                            QStringLiteral("chb_Szablon31_Checked"), QStringLiteral("chb_duplikaty_Checked")};

} // namespace

class TestFormMain : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString iniPath() const { return m_dir->filePath(QStringLiteral("PRZENOSN.INI")); }

    void writeIni(const QString& mainSection)
    {
        QVERIFY(test::writeFile(iniPath(), encodeWindows1250(QStringLiteral("[MAIN]\r\n") + mainSection)));
    }

    std::unique_ptr<FormMain> openWindow() { return test::openMainWindow(m_dir->path()); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void firstStartShowsTheDefaults()
    {
        auto window = openWindow();
        const FormMain& w = *window;
        QVERIFY(child<QRadioButton>(w, "RB_852")->isChecked());
        QVERIFY(!child<QRadioButton>(w, "RB_MAZ")->isChecked());
        QVERIFY(child<QCheckBox>(w, "chb_Szablon31")->isChecked());
        QVERIFY(child<QCheckBox>(w, "chb_Sym2006")->isChecked());
        QVERIFY(!child<QCheckBox>(w, "chb_kod")->isChecked());
        QVERIFY(!child<QCheckBox>(w, "chb_def_opis")->isChecked());
        QVERIFY(child<QCheckBox>(w, "chb_duplikaty")->isChecked());
        QVERIFY(!child<QCheckBox>(w, "ch_sprawdz")->isChecked());
        for (const char* edit : {"de_KPR", "FE_EPP", "Edit_Atrybut", "Edit_REJ", "Edit_OPIS"}) {
            QVERIFY2(child<QLineEdit>(w, edit)->text().isEmpty(), edit);
        }
        QVERIFY(!w.hintsOn());
        QVERIFY(!child<QToolButton>(w, "tb_Help")->isChecked());
        QVERIFY(w.traceLines().isEmpty());

        const ConversionSettings settings = w.conversionSettings();
        QCOMPARE(settings.ledgerEncoding, PolishEncoding::Cp852);
        QVERIFY(settings.sym2006 && settings.szablon31);
        QVERIFY(!settings.dryRun && !settings.postalCode && !settings.alwaysDescription);
        QVERIFY(settings.skipDuplicates);
    }

    void closingWritesEveryKeyInOrder()
    {
        {
            auto window = openWindow();
            window->close();
        }
        const QStringList lines = iniLines(iniPath());
        QVERIFY2(!lines.isEmpty() && lines.first() == QStringLiteral("[MAIN]"), qPrintable(lines.join('|')));
        QStringList keys;
        QMap<QString, QString> values;
        for (const QString& line : lines.mid(1)) {
            if (line.isEmpty()) {
                break;
            }
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            QVERIFY2(eq > 0, qPrintable(line));
            keys << line.left(eq);
            values.insert(line.left(eq), line.mid(eq + 1));
        }
        const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
        const QString size = QStringLiteral("(%1x%2)").arg(desktop.width()).arg(desktop.height());
        const QStringList expected = QStringList{QStringLiteral("FormVersion"),
                                                 QStringLiteral("ShowCmd"),
                                                 QStringLiteral("Flags"),
                                                 QStringLiteral("PixelsPerInch"),
                                                 QStringLiteral("MinMaxPos") + size,
                                                 QStringLiteral("MinMaxPos"),
                                                 QStringLiteral("NormPos") + size,
                                                 QStringLiteral("NormPos")} +
                                     ValueKeys;
        QCOMPARE(keys, expected);
        QCOMPARE(values.value(QStringLiteral("FormVersion")), QStringLiteral("0"));
        QCOMPARE(values.value(QStringLiteral("RB_852_Checked")), QStringLiteral("TRUE"));
        QCOMPARE(values.value(QStringLiteral("RB_MAZ_Checked")), QStringLiteral("FALSE"));
        QCOMPARE(values.value(QStringLiteral("chb_Szablon31_Checked")), QStringLiteral("TRUE"));
        QCOMPARE(values.value(QStringLiteral("chb_kod_Checked")), QStringLiteral("FALSE"));
        QCOMPARE(values.value(QStringLiteral("chb_duplikaty_Checked")), QStringLiteral("TRUE"));
        QCOMPARE(values.value(QStringLiteral("FE_EPP_Text")), QString());
    }

    void valuesComeBackAtTheNextStart()
    {
        {
            auto window = openWindow();
            child<QRadioButton>(*window, "RB_MAZ")->setChecked(true);
            child<QLineEdit>(*window, "FE_EPP")->setText(QStringLiteral("\"/dane/eksport zima/FVS01.TXT\""));
            child<QLineEdit>(*window, "de_KPR")->setText(QStringLiteral("/kpr/Łódź"));
            child<QLineEdit>(*window, "Edit_Atrybut")->setText(QStringLiteral("Ż"));
            child<QLineEdit>(*window, "Edit_REJ")->setText(QStringLiteral("2"));
            child<QLineEdit>(*window, "Edit_OPIS")->setText(QStringLiteral("Sprzedaż towarów"));
            child<QCheckBox>(*window, "chb_kod")->setChecked(true);
            child<QCheckBox>(*window, "chb_def_opis")->setChecked(true);
            child<QCheckBox>(*window, "chb_Sym2006")->setChecked(false);
            child<QCheckBox>(*window, "chb_Szablon31")->setChecked(false);
            child<QCheckBox>(*window, "chb_duplikaty")->setChecked(false);
            child<QCheckBox>(*window, "ch_sprawdz")->setChecked(true);
            window->close();
        }
        const QString written = decodeWindows1250(test::readFile(iniPath()));
        QVERIFY(written.contains(QStringLiteral("\r\nde_KPR_Text=/kpr/Łódź\r\n")));
        QVERIFY(!written.contains(QStringLiteral("ch_sprawdz")));

        auto window = openWindow();
        const ConversionSettings settings = window->conversionSettings();
        QVERIFY(!child<QRadioButton>(*window, "RB_852")->isChecked());
        QCOMPARE(settings.ledgerEncoding, PolishEncoding::Mazovia);
        QCOMPARE(settings.exportFile, QStringLiteral("\"/dane/eksport zima/FVS01.TXT\""));
        QCOMPARE(settings.companyDirectory, QStringLiteral("/kpr/Łódź"));
        QCOMPARE(settings.attribute, QStringLiteral("Ż"));
        QCOMPARE(settings.registerId, QStringLiteral("2"));
        QCOMPARE(settings.defaultDescription, QStringLiteral("Sprzedaż towarów"));
        QVERIFY(settings.postalCode);
        QVERIFY(settings.alwaysDescription);
        QVERIFY(!settings.sym2006);
        QVERIFY(!settings.szablon31);
        QVERIFY(!settings.skipDuplicates);
        // The dry run is never kept.
        QVERIFY(!settings.dryRun);
    }

    void radioButtonsFromTheFile_data()
    {
        QTest::addColumn<QString>("rb852");
        QTest::addColumn<QString>("rbMaz");
        QTest::addColumn<bool>("checked852");
        QTest::addColumn<bool>("checkedMaz");
        QTest::newRow("both true: the later wins") << "TRUE"
                                                   << "TRUE" << false << true;
        QTest::newRow("852 only") << "TRUE"
                                  << "FALSE" << true << false;
        QTest::newRow("maz only") << "FALSE"
                                  << "yes" << false << true;
        QTest::newRow("neither") << "FALSE"
                                 << "0" << false << false;
    }

    void radioButtonsFromTheFile()
    {
        QFETCH(QString, rb852);
        QFETCH(QString, rbMaz);
        QFETCH(bool, checked852);
        QFETCH(bool, checkedMaz);
        writeIni(QStringLiteral("RB_852_Checked=%1\r\nRB_MAZ_Checked=%2\r\n").arg(rb852, rbMaz));
        {
            auto window = openWindow();
            QCOMPARE(child<QRadioButton>(*window, "RB_852")->isChecked(), checked852);
            QCOMPARE(child<QRadioButton>(*window, "RB_MAZ")->isChecked(), checkedMaz);
            QCOMPARE(window->conversionSettings().ledgerEncoding,
                     checkedMaz ? PolishEncoding::Mazovia : PolishEncoding::Cp852);
            window->close();
        }
        const QString written = decodeWindows1250(test::readFile(iniPath()));
        QVERIFY(written.contains(QStringLiteral("RB_852_Checked=%1\r\n")
                                     .arg(checked852 ? QLatin1String("TRUE") : QLatin1String("FALSE"))));
        QVERIFY(written.contains(QStringLiteral("RB_MAZ_Checked=%1\r\n")
                                     .arg(checkedMaz ? QLatin1String("TRUE") : QLatin1String("FALSE"))));
    }

    void characterLimitsBindTypingOnly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("limit");
        QTest::newRow("Edit_Atrybut") << "Edit_Atrybut" << 1;
        QTest::newRow("Edit_REJ") << "Edit_REJ" << 1;
        QTest::newRow("Edit_OPIS") << "Edit_OPIS" << 36;
    }

    void characterLimitsBindTypingOnly()
    {
        QFETCH(QString, name);
        QFETCH(int, limit);
        const QString stored = QString(limit + 4, QChar(0x017A));
        writeIni(QStringLiteral("%1_Text=  %2  \r\n").arg(name, stored));
        auto window = openWindow();
        auto* edit = window->findChild<QLineEdit*>(name);
        QVERIFY(edit);
        // Restored whole, without the blanks around it.
        QCOMPARE(edit->text(), stored);

        edit->setFocus();
        edit->end(false);
        QTest::keyClicks(edit, QStringLiteral("ab"));
        QCOMPARE(edit->text(), stored);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), stored.left(stored.size() - 1));

        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QString(limit + 3, QLatin1Char('q')));
        QCOMPARE(edit->text(), QString(limit, QLatin1Char('q')));
    }
};

QTEST_MAIN(TestFormMain)
#include "test_form_main.moc"
