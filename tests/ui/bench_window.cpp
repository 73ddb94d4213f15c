// Runs one conversion of a given export file through the main window, the way
// a user starts it, for scripts/bench.py to time next to the command-line
// converter. Not a test: build target ui_bench_window, run by hand:
//   QT_QPA_PLATFORM=offscreen build/tests/ui_bench_window EXPORT [COMPANY_DIRECTORY]
// Without a company directory the run is a dry run. Prints the time of the run
// itself, the trace lines and documents it left, and the peak resident memory.
#include "ui/FormMain.h"
#include "ui/MessageBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>

using namespace przenosnik;

namespace {

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

template <typename T> T* control(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(2);
    }
    return found;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 2 || !QFileInfo(QString::fromLocal8Bit(argv[1])).isFile()) {
        std::fprintf(stderr, "usage: %s EXPORT [COMPANY_DIRECTORY]\n", argv[0]);
        return 2;
    }
    const QString exportFile = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const bool dryRun = argc < 3;
    // The window's own settings go to a directory of their own, not beside the program.
    QTemporaryDir settings;

    FormMain window(settings.path());
    window.show();
    QApplication::processEvents();
    control<QLineEdit>(window, "FE_EPP")->setText(exportFile);
    control<QLineEdit>(window, "de_KPR")->setText(dryRun ? QString() : QString::fromLocal8Bit(argv[2]));
    control<QCheckBox>(window, "ch_sprawdz")->setChecked(dryRun);
    MessageBox::setNextAnswer(QMessageBox::Yes);

    QElapsedTimer timer;
    timer.start();
    control<QAction>(window, "act_Konwert")->trigger();
    QApplication::processEvents();
    const qint64 runMs = timer.elapsed();
    const int traceLines = control<QAbstractItemView>(window, "MemoTrace")->model()->rowCount();

    std::printf("%s through the window: %lld ms, %d trace lines, %d documents, peak memory %ld MB\n",
                dryRun ? "dry run" : "real run", runMs, traceLines, window.documentCount(),
                peakMemoryKb() / 1024);
    window.close();
    return 0;
}
