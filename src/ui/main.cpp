// Program start and stop: the main window and the event loop.
#include "ProgramInfo.h"
#include "platform/Process.h"
#include "ui/FormMain.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTranslator>

int main(int argc, char* argv[])
{
    // A file-size limit becomes a failed write that the run reports and takes
    // back, not the end of the program; so does a closed standard output.
    przenosnik::platform::keepRunningOnFailedWrites();
    QApplication application(argc, argv);
    // No organisation name: the user's settings directory is ~/.config/przenosnik.
    QApplication::setApplicationName(QStringLiteral(PRZENOSNIK_APP_NAME));
    QApplication::setApplicationVersion(QStringLiteral(PRZENOSNIK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(PRZENOSNIK_APP_ID));
    // Qt's own buttons and dialogs speak Polish like the rest of the program;
    // without the translations they stay in English and nothing else changes.
    QTranslator qtPolish;
    przenosnik::installQtTranslations(qtPolish);
    // Group box captions drawn on the frame, as the layout of the windows
    // expects: Windows' own style where there is one, else the classic style.
    for (const QString& name : {QStringLiteral("windowsvista"), QStringLiteral("Windows")}) {
        if (QStyle* style = QStyleFactory::create(name)) {
            QApplication::setStyle(style);
            break;
        }
    }
    przenosnik::FormMain window;
    window.show();
    return QApplication::exec();
}
