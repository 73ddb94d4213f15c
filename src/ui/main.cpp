// Program start and stop: the main window and the event loop.
#include "ui/FormMain.h"

#include <QApplication>
#include <QStyleFactory>

#include <csignal>

int main(int argc, char* argv[])
{
#ifdef Q_OS_UNIX
    // A file-size limit becomes a failed write that the run reports and takes
    // back, not the end of the program; so does a closed standard output.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Przenosnik"));
    // The classic style draws group box captions on the frame, as the layout
    // of the windows expects.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        QApplication::setStyle(classic);
    }
    przenosnik::FormMain window;
    window.show();
    return QApplication::exec();
}
