// The company picker dialog, headless.
#include "ledger/CompanyList.h"
#include "support/CompanyRecords.h"
#include "support/TestSupport.h"
#include "ui/Beep.h"
#include "ui/CompanyListModel.h"
#include "ui/FileDialog.h"
#include "ui/FilenameEdit.h"
#include "ui/FormSpisFirm.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace przenosnik;
using test::bytes;
using test::companyRecord;

namespace {

QStringList names(const FormSpisFirm& dialog)
{
    QStringList result;
    for (const CompanyRow& row : dialog.companies()->rows())
        result << row.firma;
    return result;
}

bool activate(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void doubleClickRow(FormSpisFirm& dialog, int row)
{
    QTableView* grid = dialog.grid();
    const QRect rect = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestFormSpisFirm : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString settingsDir;
    QString listFile;

    QString at(const QString& relative) const { return dir->filePath(relative); }

    static QByteArray threeCompanies()
    {
        return companyRecord("Makow", "MAKOW", "trzecia") + companyRecord("Lublin", "LUBLIN", "pierwsza") +
               companyRecord(bytes({156, 162, 100, 166}), "LODZ", "druga");
    }

    std::unique_ptr<FormSpisFirm> makeDialog(const QString& fileText,
                                             PolishEncoding encoding = PolishEncoding::Mazovia)
    {
        auto dialog = std::make_unique<FormSpisFirm>(encoding, nullptr, settingsDir);
        if (!fileText.isNull())
            dialog->filenameEdit()->setText(fileText);
        return dialog;
    }

    QString storedSettings() const
    {
        return QString::fromLatin1(test::readFile(QDir(settingsDir).filePath(QStringLiteral("SPISCFG.INI"))));
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("ustawienia")));
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("kpr/Lodz")));
        settingsDir = at(QStringLiteral("ustawienia"));
        listFile = at(QStringLiteral("kpr/SPISFIRM.DAT"));
        QVERIFY(test::writeFile(listFile, threeCompanies()));
    }

    void designedLayout()
    {
        auto dialog = makeDialog(QString());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("SpisFirm wg KPR"));
        QCOMPARE(dialog->filenameEdit()->text(), QStringLiteral("spisfirm.dat"));
        auto* label = dialog->findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Lokalizacja pliku SpisFirm.Dat"));
        QCOMPARE(dialog->loadButton()->text(), QStringLiteral("Załaduj ..."));
        QCOMPARE(dialog->filenameEdit()->geometry(), QRect(8, 24, 193, 21));
        QCOMPARE(dialog->loadButton()->pos(), QPoint(216, 19));
        QCOMPARE(dialog->loadButton()->height(), 25);
        QVERIFY(dialog->loadButton()->width() >= 75);
        QVERIFY(!dialog->loadButton()->autoDefault());
        QCOMPARE(dialog->findChild<QWidget*>(QStringLiteral("PanelTop"))->height(), 57);

        QHeaderView* header = dialog->grid()->horizontalHeader();
        QCOMPARE(header->count(), 3);
        const QStringList titles{QStringLiteral("Firma"), QStringLiteral("Katalog"), QStringLiteral("Info")};
        for (int column = 0; column < 3; ++column) {
            QCOMPARE(dialog->grid()->model()->headerData(column, Qt::Horizontal).toString(),
                     titles.at(column));
            // Each column is at least as wide as its title needs.
            QVERIFY(header->sectionSize(column) >= header->sectionSizeHint(column));
        }
        // Widths follow the field sizes: 31, 8 and 10 characters.
        QVERIFY(header->sectionSize(0) > header->sectionSize(2));
        QVERIFY(header->sectionSize(2) > header->sectionSize(1) ||
                header->sectionSize(1) == header->sectionSizeHint(1));
        QVERIFY(!dialog->grid()->verticalHeader()->isHidden());
        QCOMPARE(dialog->grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(dialog->grid()->selectionBehavior(), QAbstractItemView::SelectRows);

        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(dialog->frameGeometry().size(), QSize(360, 310));
        QCOMPARE(dialog->minimumSize(), dialog->size());
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY(dialog->loadButton()->width() >= dialog->loadButton()->sizeHint().width());
    }

    void firstActivationLoadsOnce()
    {
        auto dialog = makeDialog(listFile);
        QVERIFY(dialog->activateOne());
        QVERIFY(names(*dialog).isEmpty());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QVERIFY(!dialog->activateOne());
        QCOMPARE(names(*dialog), (QStringList{"Lublin", QStringLiteral("Łódź"), "Makow"}));
        QCOMPARE(dialog->grid()->currentIndex().row(), 0);
        QCOMPARE(dialog->companies()->indicatorRow(), 0);
        QCOMPARE(QApplication::focusWidget(), dialog->grid());

        // The file changes; switching to another window and back loads nothing.
        QVERIFY(test::writeFile(listFile, companyRecord("Nowa", "NOWA", "")));
        QWidget other;
        other.show();
        QVERIFY(activate(&other));
        QVERIFY(activate(dialog.get()));
        QCOMPARE(names(*dialog).size(), 3);

        QTest::mouseClick(dialog->loadButton(), Qt::LeftButton);
        QCOMPARE(names(*dialog), QStringList{"Nowa"});
    }

    void reloadShowsNewContentFromTheFirstRow()
    {
        auto dialog = makeDialog(listFile);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        dialog->grid()->setCurrentIndex(dialog->companies()->index(2, 0));
        QCOMPARE(dialog->currentKatalog(), QStringLiteral("MAKOW"));
        QCOMPARE(dialog->companies()->indicatorRow(), 2);

        QVERIFY(test::writeFile(listFile, threeCompanies() + companyRecord("Adamow", "ADAMOW", "")));
        QTest::mouseClick(dialog->loadButton(), Qt::LeftButton);
        QCOMPARE(names(*dialog).size(), 4);
        QCOMPARE(dialog->grid()->currentIndex().row(), 0);
        QCOMPARE(dialog->currentKatalog(), QStringLiteral("ADAMOW"));
    }

    void missingFileBeepsAndKeepsRows()
    {
        auto dialog = makeDialog(listFile);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        const QStringList before = names(*dialog);
        QCOMPARE(before.size(), 3);

        dialog->filenameEdit()->setText(at(QStringLiteral("kpr/brak.dat")));
        const int beeps = beepCount();
        QTest::mouseClick(dialog->loadButton(), Qt::LeftButton);
        QCOMPARE(beepCount(), beeps + 1);
        QCOMPARE(names(*dialog), before);
        QCOMPARE(QApplication::focusWidget(), dialog->filenameEdit()->lineEdit());
    }

    void firstUseWithoutAnyFile()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(settingsDir)); // no spisfirm.dat here
        auto dialog = makeDialog(QString());
        const int beeps = beepCount();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(beepCount(), beeps + 1);
        QVERIFY(names(*dialog).isEmpty());
        QCOMPARE(QApplication::focusWidget(), dialog->filenameEdit()->lineEdit());

        FileDialog::setNextFileName(listFile);
        QTest::mouseClick(dialog->filenameEdit()->browseButton(), Qt::LeftButton);
        QVERIFY(activate(dialog.get()));
        QVERIFY(names(*dialog).isEmpty()); // a later activation loads nothing
        QTest::mouseClick(dialog->loadButton(), Qt::LeftButton);
        QCOMPARE(names(*dialog), (QStringList{"Lublin", QStringLiteral("Łódź"), "Makow"}));
        QCOMPARE(beepCount(), beeps + 1);
    }

    void doubleClickAcceptsTheRow()
    {
        auto dialog = makeDialog(at(QStringLiteral("KPR/spisfirm.dat")));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(names(*dialog).size(), 3);
        doubleClickRow(*dialog, 1);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), FormSpisFirm::ModalResultOk);
        QCOMPARE(dialog->result(), 1);
        QCOMPARE(dialog->currentKatalog(), QStringLiteral("LODZ"));
        QCOMPARE(dialog->fileName(), at(QStringLiteral("KPR/spisfirm.dat")));
        // Folder of the list file + Katalog, found as it is on disk.
        QCOMPARE(dialog->companyDirectory().value_or(QString()),
                 test::foundAs(at(QStringLiteral("KPR/LODZ")), at(QStringLiteral("kpr/Lodz"))));
    }

    void directoryFromTheListShown_data()
    {
        QTest::addColumn<QString>("typed"); // typed into the edit after the first load
        QTest::addColumn<bool>("load");     // then "Załaduj ..." pressed
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("beeps");
        QTest::newRow("another list typed, not loaded") << "inny/SPISFIRM.DAT" << false << "kpr/" << 0;
        QTest::newRow("missing list loaded: old rows stay") << "brak/SPISFIRM.DAT" << true << "kpr/" << 1;
        QTest::newRow("another list loaded") << "inny/SPISFIRM.DAT" << true << "inny/" << 0;
    }

    void directoryFromTheListShown()
    {
        QFETCH(QString, typed);
        QFETCH(bool, load);
        QFETCH(QString, folder);
        QFETCH(int, beeps);
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("inny")));
        QVERIFY(test::writeFile(at(QStringLiteral("inny/SPISFIRM.DAT")), threeCompanies()));
        auto dialog = makeDialog(listFile);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(names(*dialog).size(), 3);
        const int beepsBefore = beepCount();
        dialog->filenameEdit()->setText(at(typed));
        if (load)
            QTest::mouseClick(dialog->loadButton(), Qt::LeftButton);
        QCOMPARE(beepCount(), beepsBefore + beeps);
        doubleClickRow(*dialog, 2);
        QCOMPARE(dialog->result(), FormSpisFirm::ModalResultOk);
        QCOMPARE(dialog->companyDirectory().value_or(QString()), at(folder + QStringLiteral("MAKOW")));
    }

    void doubleClickOnAnEmptyList()
    {
        QVERIFY(test::writeFile(listFile, QByteArray()));
        auto dialog = makeDialog(listFile);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QVERIFY(names(*dialog).isEmpty());
        QTest::mouseDClick(dialog->grid()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(dialog->result(), FormSpisFirm::ModalResultOk);
        QCOMPARE(dialog->currentKatalog(), QString());
        QCOMPARE(dialog->companyDirectory().value_or(QString()), at(QStringLiteral("kpr/")));
    }

    void modalResults_data()
    {
        QTest::addColumn<bool>("byDoubleClick");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("katalog");
        QTest::newRow("double click") << true << 1 << "MAKOW";
        QTest::newRow("close box") << false << 2 << "LUBLIN";
    }

    void modalResults()
    {
        QFETCH(bool, byDoubleClick);
        QFETCH(int, result);
        QFETCH(QString, katalog);
        auto dialog = makeDialog(listFile);
        FormSpisFirm* raw = dialog.get();
        QTimer::singleShot(0, raw, [raw, byDoubleClick] {
            if (!QTest::qWaitForWindowActive(raw) || raw->companies()->rows().size() != 3)
                return raw->done(-1);
            if (byDoubleClick)
                doubleClickRow(*raw, 2);
            else
                raw->close();
        });
        QCOMPARE(dialog->exec(), result);
        QCOMPARE(dialog->currentKatalog(), katalog);
    }

    void keysDoNotClose()
    {
        auto dialog = makeDialog(listFile);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(dialog->grid(), key);
            QTest::keyClick(dialog->filenameEdit()->lineEdit(), key);
        }
        QVERIFY(dialog->isVisible());
        QCOMPARE(names(*dialog).size(), 3);
    }

    void closeBoxStoresTheNewName()
    {
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("z blankiem")));
        const QString other = at(QStringLiteral("z blankiem/SPISFIRM.DAT"));
        QVERIFY(test::writeFile(other, companyRecord("Inna", "INNA", "")));
        auto dialog = makeDialog(listFile);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        dialog->filenameEdit()->setText(QLatin1Char('"') + other + QLatin1Char('"'));
        QVERIFY(dialog->close());
        QCOMPARE(dialog->result(), FormSpisFirm::ModalResultCancel);
        dialog.reset();

        const QString ini = storedSettings();
        QVERIFY2(ini.startsWith(QStringLiteral("[SPISFIRM]\r\n")) ||
                     ini.startsWith(QStringLiteral("[SPISFIRM]\n")),
                 qPrintable(ini));
        QVERIFY2(ini.contains(QStringLiteral("FilenameEdit_FileName=") + other), qPrintable(ini));
    }

    void nameChosenOnceIsLoadedNextTime()
    {
        {
            auto dialog = makeDialog(QString());
            QTimer::singleShot(0, dialog.get(), [raw = dialog.get(), this] {
                if (!QTest::qWaitForWindowActive(raw))
                    return raw->done(-1);
                FileDialog::setNextFileName(listFile);
                QTest::mouseClick(raw->filenameEdit()->browseButton(), Qt::LeftButton);
                QTest::mouseClick(raw->loadButton(), Qt::LeftButton);
                doubleClickRow(*raw, 0);
            });
            QCOMPARE(dialog->exec(), 1);
        }
        auto next = makeDialog(QString());
        QCOMPARE(next->filenameEdit()->text(), QStringLiteral("spisfirm.dat"));
        next->show();
        QVERIFY(QTest::qWaitForWindowActive(next.get()));
        QCOMPARE(next->filenameEdit()->text(), QDir::toNativeSeparators(listFile));
        QCOMPARE(names(*next).size(), 3);
    }

    void storedNameWithBlankShownInQuotes()
    {
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("z blankiem")));
        const QString other = at(QStringLiteral("z blankiem/spisfirm.dat"));
        QVERIFY(test::writeFile(other, companyRecord("Inna", "INNA", "")));
        QVERIFY(test::writeFile(QDir(settingsDir).filePath(QStringLiteral("SPISCFG.INI")),
                                "[SPISFIRM]\r\nFilenameEdit_FileName=" + other.toUtf8() + "\r\n\r\n"));
        auto dialog = makeDialog(QString());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(dialog->filenameEdit()->text(), QLatin1Char('"') + other + QLatin1Char('"'));
        QCOMPARE(dialog->fileName(), other);
        QCOMPARE(names(*dialog), QStringList{"Inna"});
    }

    void shortColumnsShowTheirTextWhole()
    {
        QVERIFY(test::writeFile(listFile, companyRecord("A", "WWWWWWWW", "MMMMMMMMMM")));
        auto dialog = makeDialog(listFile);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        const QFontMetrics metrics(dialog->grid()->font());
        QVERIFY(dialog->grid()->columnWidth(1) > metrics.horizontalAdvance(QStringLiteral("WWWWWWWW")));
        QVERIFY(dialog->grid()->columnWidth(2) > metrics.horizontalAdvance(QStringLiteral("MMMMMMMMMM")));
    }

    void encodingChangeTakesEffectOnReload()
    {
        auto dialog = makeDialog(listFile, PolishEncoding::Mazovia);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QVERIFY(names(*dialog).contains(QStringLiteral("Łódź")));
        dialog->setLedgerEncoding(PolishEncoding::Cp852);
        QVERIFY(names(*dialog).contains(QStringLiteral("Łódź")));
        QTest::mouseClick(dialog->loadButton(), Qt::LeftButton);
        QVERIFY(!names(*dialog).contains(QStringLiteral("Łódź")));
        QVERIFY(names(*dialog).contains(QStringLiteral("śód¦")));
    }
};

QTEST_MAIN(TestFormSpisFirm)
#include "test_form_spis_firm.moc"
