// Program start and stop: the main window and the event loop.
#include "ui/FormMain.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
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
