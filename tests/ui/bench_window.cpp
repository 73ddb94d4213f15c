// Measures a run of many documents through the main window next to the same
// run of the command-line converter and of the bare run with a plain host.
// Not a test: build target ui_bench_window, run by hand:
//   QT_QPA_PLATFORM=offscreen build/tests/ui_bench_window [documents]
#include "ui/FormMain.h"
#include "ui/MessageBox.h"

#include "support/ConversionTestHost.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

// A host that writes each line to a file, as the converter writes to its output.
class StreamHost : public RecordingHost
{
public:
    explicit StreamHost(QTextStream& out) : m_out(out) {}
    void appendTrace(const QString& line) override { m_out << line << '\n'; }

private:
    QTextStream& m_out;
};

QString largeExport(int documents)
{
    QString text = exportHeader();
    text.reserve(documents * 700);
    for (int i = 0; i < documents; ++i) {
        Invoice invoice;
        invoice.number = QStringLiteral("FV %1/03/2014").arg(i + 1);
        invoice.date = QStringLiteral("2014-%1-12").arg(1 + i % 12, 2, 10, QLatin1Char('0'));
        text += documentBlock(invoice, registerBlock(QStringLiteral("23"), invoice.net, invoice.vat));
    }
    return text;
}

long peakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int documents = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString exportFile = dir.filePath(QStringLiteral("FVS01.TXT"));
    writeFile(exportFile, exportBytes(largeExport(documents)));
    for (const char* sub : {"okno", "cli", "rdzen"}) {
        QDir(dir.path()).mkpath(QLatin1String(sub));
    }
    std::printf("%d documents, export file %lld bytes\n", documents, QFileInfo(exportFile).size());

    for (const bool dryRun : {true, false}) {
        const char* kind = dryRun ? "dry run" : "real run";
        qint64 windowMs = 0;
        int traceLines = 0;
        {
            FormMain window(dir.path());
            window.show();
            QApplication::processEvents();
            window.findChild<QLineEdit*>(QStringLiteral("FE_EPP"))->setText(exportFile);
            window.findChild<QLineEdit*>(QStringLiteral("de_KPR"))
                ->setText(dir.filePath(QStringLiteral("okno")));
            window.findChild<QCheckBox*>(QStringLiteral("ch_sprawdz"))->setChecked(dryRun);
            MessageBox::setNextAnswer(QMessageBox::Yes);
            QElapsedTimer timer;
            timer.start();
            window.findChild<QAction*>(QStringLiteral("act_Konwert"))->trigger();
            QApplication::processEvents();
            windowMs = timer.elapsed();
            traceLines = int(window.traceLines().size());
            window.close();
        }
        std::printf("%-9s window:              %6lld ms, %d trace lines, peak memory %ld MB\n", kind,
                    windowMs, traceLines, peakMemoryKb() / 1024);

        {
            QFile sink(QStringLiteral("/dev/null"));
            sink.open(QIODevice::WriteOnly);
            QTextStream out(&sink);
            StreamHost host(out);
            ConversionSettings settings;
            settings.exportFile = exportFile;
            settings.companyDirectory = dir.filePath(QStringLiteral("rdzen"));
            settings.dryRun = dryRun;
            QElapsedTimer timer;
            timer.start();
            RunConversion(settings, host);
            out.flush();
            std::printf("%-9s run, plain host:     %6lld ms\n", kind, timer.elapsed());
        }
#ifdef PRZENOSNIK_CLI_BINARY
        {
            QProcess cli;
            cli.setStandardOutputFile(QProcess::nullDevice());
            QStringList arguments;
            if (dryRun) {
                arguments << QStringLiteral("--dry-run");
            }
            arguments << exportFile << dir.filePath(QStringLiteral("cli"));
            QElapsedTimer timer;
            timer.start();
            cli.start(QStringLiteral(PRZENOSNIK_CLI_BINARY), arguments);
            cli.waitForFinished(-1);
            std::printf("%-9s command-line program: %5lld ms (exit %d)\n", kind, timer.elapsed(),
                        cli.exitCode());
        }
#endif
    }
    return 0;
}
