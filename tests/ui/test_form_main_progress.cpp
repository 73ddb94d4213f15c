// The main window during a run that lasts: the progress in the status bar,
// the controls held, and the user's input dropped, during the run and after it.
#include "FormMainTestTools.h"
#include "ui/FormMain.h"
#include "ui/MessageBox.h"
#include "ui/RunProgressDisplay.h"

#include "support/ConversionTestHost.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

QString manyInvoiceExport(int count)
{
    QString text = exportHeader();
    for (int i = 1; i <= count; ++i) {
        Invoice invoice;
        invoice.number = QStringLiteral("FV %1/03/2014").arg(i);
        text += documentBlock(invoice, registerBlock(QStringLiteral("23"), invoice.net, invoice.vat));
    }
    return text;
}

void postClick(QWidget* widget)
{
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// What the window showed while the run went on.
struct DuringRun
{
    bool seen = false;
    bool barShown = false;
    int value = -1;
    QString text;
    bool controlsEnabled = true;
    bool running = false;
};

} // namespace

class TestFormMainProgress : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { RunProgressDisplay::setTiming({}); }

    // Each row gives the window one input while the bar shows; none of it may
    // act, then or once the run is over. Posted events reach the window only
    // after the run, which repaints once here.
    void inputDuringARunIsDropped_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("F1 switches no hints on") << "F1";
        QTest::newRow("click on symulacja") << "click";
        QTest::newRow("click posted on symulacja") << "posted click";
        QTest::newRow("key posted into the export file") << "posted key";
        QTest::newRow("closing the window") << "close";
    }

    void inputDuringARunIsDropped()
    {
        QFETCH(QString, input);
        const QString file = m_dir->filePath(QStringLiteral("FVS01.TXT"));
        QVERIFY(writeFile(file, exportBytes(manyInvoiceExport(30))));
        auto window = openMainWindow(m_dir->path());
        auto* sprawdz = child<QCheckBox>(*window, "ch_sprawdz");
        auto* exportEdit = child<QLineEdit>(*window, "FE_EPP");
        exportEdit->setText(file);
        sprawdz->setChecked(true);
        const QString ownerText = window->statusBar()->currentMessage();
        QVERIFY(ownerText.startsWith(QStringLiteral("Właściciel programu - ")));

        // The bar shows at the first block and the window repaints just once.
        RunProgressDisplay::setTiming({0, 1000000});
        DuringRun seen;
        QTimer::singleShot(0, window.get(), [&] {
            seen.seen = true;
            seen.running = window->isRunning();
            auto* bar = window->findChild<QProgressBar*>();
            seen.barShown = bar && bar->isVisible();
            seen.value = bar ? bar->value() : -1;
            seen.text = bar ? bar->text() : QString();
            seen.controlsEnabled = child<QToolBar>(*window, "ToolBar1")->isEnabled();
            if (input == QLatin1String("F1")) {
                QTest::keyClick(window.get(), Qt::Key_F1);
            } else if (input == QLatin1String("click")) {
                QTest::mouseClick(sprawdz, Qt::LeftButton);
            } else if (input == QLatin1String("posted click")) {
                postClick(sprawdz);
            } else if (input == QLatin1String("posted key")) {
                QCoreApplication::postEvent(exportEdit,
                                            new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
            } else {
                window->close();
            }
        });
        MessageBox::setNextAnswer(QMessageBox::Yes);
        child<QAction>(*window, "act_Konwert")->trigger();
        QTest::qWait(20);

        QVERIFY(seen.seen);
        QVERIFY(seen.running);
        QVERIFY(seen.barShown);
        QVERIFY2(seen.value > 0 && seen.value < 1000, qPrintable(QString::number(seen.value)));
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d+% · \\d+ dokument(y|ów)?$")).match(seen.text).hasMatch(),
            qPrintable(seen.text));
        QVERIFY(!seen.controlsEnabled);

        QCOMPARE(window->documentCount(), 30);
        QVERIFY(window->isVisible());
        QVERIFY(!window->hintsOn());
        QVERIFY(sprawdz->isChecked());
        QCOMPARE(exportEdit->text(), file);
        QVERIFY(child<QToolBar>(*window, "ToolBar1")->isEnabled());
        QCOMPARE(window->findChild<QProgressBar*>(), nullptr);
        QCOMPARE(window->statusBar()->currentMessage(), ownerText);
    }

    void documentsAreCountedInPolish_data()
    {
        QTest::addColumn<int>("documents");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "0 dokumentów";
        QTest::newRow("1") << 1 << "1 dokument";
        QTest::newRow("2") << 2 << "2 dokumenty";
        QTest::newRow("4") << 4 << "4 dokumenty";
        QTest::newRow("5") << 5 << "5 dokumentów";
        QTest::newRow("12") << 12 << "12 dokumentów";
        QTest::newRow("22") << 22 << "22 dokumenty";
        QTest::newRow("111") << 111 << "111 dokumentów";
        QTest::newRow("1234") << 1234 << "1234 dokumenty";
    }

    void documentsAreCountedInPolish()
    {
        QFETCH(int, documents);
        QFETCH(QString, text);
        QCOMPARE(RunProgressDisplay::documentsText(documents), text);
    }
};

QTEST_MAIN(TestFormMainProgress)
#include "test_form_main_progress.moc"
