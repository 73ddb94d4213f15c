// The dialog and beep seams that the windows' tests rely on.
#include "ui/Beep.h"
#include "ui/FileDialog.h"

#include <QApplication>
#include <QtTest>

using namespace przenosnik;

class TestSeams : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void beepCounts()
    {
        const int before = beepCount();
        beep();
        beep();
        QCOMPARE(beepCount(), before + 2);
    }

    void queuedAnswersAreUsedOnceEach()
    {
        FileDialog::setNextFileName(QStringLiteral("/a/first.dat"));
        FileDialog::setNextDirectory(QStringLiteral("/a/dir"));
        const int before = FileDialog::requestCount();
        QCOMPARE(FileDialog::getOpenFileName(nullptr, QStringLiteral("Tytuł"), QStringLiteral("/start"),
                                             QStringLiteral("*.dat")),
                 QStringLiteral("/a/first.dat"));
        const FileDialog::Request request = FileDialog::lastRequest();
        QCOMPARE(request.caption, QStringLiteral("Tytuł"));
        QCOMPARE(request.directory, QStringLiteral("/start"));
        QCOMPARE(request.filter, QStringLiteral("*.dat"));
        QCOMPARE(FileDialog::getExistingDirectory(nullptr, QString(), QStringLiteral("/x")),
                 QStringLiteral("/a/dir"));
        QCOMPARE(FileDialog::lastRequest().directory, QStringLiteral("/x"));
        QCOMPARE(FileDialog::requestCount(), before + 2);

        // An empty answer is a cancelled dialog, still without showing one.
        FileDialog::setNextFileName(QString());
        QVERIFY(FileDialog::getOpenFileName(nullptr, QString(), QString(), QString()).isEmpty());
        QCOMPARE(FileDialog::requestCount(), before + 3);
    }
};

QTEST_MAIN(TestSeams)
#include "test_seams.moc"
