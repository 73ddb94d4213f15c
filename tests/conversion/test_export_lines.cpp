// Cutting the export file into lines: LF, CR LF, lone CR, Ctrl-Z, read errors.
#include "conversion/ConversionRun.h"
#include "conversion/ExportLineSource.h"
#include "conversion/ExportReader.h"
#include "encoding/Windows1250.h"

#include "support/ConversionTestHost.h"
#include "support/FailDevice.h"

#include <QBuffer>
#include <QTest>

using namespace przenosnik;
using namespace przenosnik::test;

namespace {

QList<QByteArray> allLines(const QByteArray& bytes, bool* ended = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ExportLineSource source(buffer);
    QList<QByteArray> lines;
    QByteArray line;
    ExportLineSource::Result result;
    while ((result = source.readLine(line)) == ExportLineSource::Result::Line)
        lines.append(line);
    if (ended)
        *ended = result == ExportLineSource::Result::End;
    return lines;
}

} // namespace

class ExportLinesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("empty file") << QByteArray() << L{};
        QTest::newRow("LF") << QByteArray("a\nb\n") << L{"a", "b"};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << L{"a", "b"};
        QTest::newRow("last line without end") << QByteArray("a\r\nb") << L{"a", "b"};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\nx\n\n") << L{"", "", "x", ""};
        QTest::newRow("lone CR dropped") << QByteArray("a\rb\r\nc") << L{"ab", "c"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << L{"a", "b"};
        QTest::newRow("CR at the very end") << QByteArray("a\r") << L{"a"};
        QTest::newRow("Ctrl-Z ends the file") << QByteArray("a\r\nb\x1a\r\nc\r\n") << L{"a", "b"};
        QTest::newRow("Ctrl-Z after a line end") << QByteArray("a\r\n\x1a") << L{"a"};
        QTest::newRow("Ctrl-Z first") << QByteArray("\x1a"
                                                    "a\r\n")
                                      << L{};
        QTest::newRow("other bytes kept")
            << QByteArray("\t\x01\xff\x80 ") << L{QByteArray("\t\x01\xff\x80 ")};
    }
    void lineEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        bool ended = false;
        QCOMPARE(allLines(bytes, &ended), lines);
        QVERIFY(ended);
    }

    void linesAcrossChunks()
    {
        // Lines that straddle the reader's buffer boundaries come out whole.
        QByteArray bytes;
        QList<QByteArray> expected;
        for (int i = 0; i < 3000; ++i) {
            const QByteArray line = QByteArray::number(i) + ' ' + QByteArray(i % 97, char('a' + i % 26));
            expected.append(line);
            bytes += line + (i % 3 == 0 ? "\n" : "\r\n");
        }
        const QByteArray longLine(200000, 'x');
        expected.append(longLine);
        bytes += longLine + "\r";
        expected.append("end");
        bytes += "\nend";
        QCOMPARE(allLines(bytes), expected);
    }

    // Of a long line only its start is kept; the rest is read past, also
    // across the reader's buffer boundaries.
    void keptLength_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("shorter") << QByteArray("abc\nd") << L{"abc", "d"};
        QTest::newRow("exactly the length") << QByteArray("abcd\r\nd") << L{"abcd", "d"};
        QTest::newRow("longer") << QByteArray("abcdefgh\r\nxy") << L{"abcd", "xy"};
        QTest::newRow("CR not counted") << QByteArray("a\rb\rcdef\n") << L{"abcd"};
        QTest::newRow("last line") << QByteArray("abcdefgh") << L{"abcd"};
        QTest::newRow("across chunks") << QByteArray(300000, 'x') + "\nend" << L{"xxxx", "end"};
        QTest::newRow("Ctrl-Z far beyond") << QByteArray(300000, 'x') + "\x1a\nend" << L{"xxxx"};
    }
    void keptLength()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        ExportLineSource source(buffer, 4);
        QList<QByteArray> read;
        QByteArray line;
        while (source.readLine(line) == ExportLineSource::Result::Line)
            read.append(line);
        QCOMPARE(read, lines);
    }

    void ctrlZBeyondFirstChunk()
    {
        QByteArray bytes(100000, 'y');
        bytes += "\x1a"
                 "zzz\r\n";
        QCOMPARE(allLines(bytes), QList<QByteArray>{QByteArray(100000, 'y')});
    }

    void readErrorIsReported()
    {
        FailDevice device("one\r\ntwo");
        ExportLineSource source(device);
        QByteArray line;
        QCOMPARE(source.readLine(line), ExportLineSource::Result::Line);
        QCOMPARE(line, QByteArray("one"));
        // "two" has no line end yet; the read that would complete it fails.
        QCOMPARE(source.readLine(line), ExportLineSource::Result::Error);
        QCOMPARE(source.readLine(line), ExportLineSource::Result::Error);
    }

    void readExportLineTraces()
    {
        ConversionSettings settings;
        RecordingHost host;
        ConversionRun run(settings, host);
        QBuffer buffer;
        buffer.setData(QByteArray("Za\xbf\xf3\xb3\xe6\r\n"));
        buffer.open(QIODevice::ReadOnly);
        ExportLineSource source(buffer);
        run.exportFile = &source;

        QCOMPARE(decodeWindows1250(ReadExportLine(run)), QStringLiteral("Zażółć"));
        QVERIFY(!run.endOfInput);
        QVERIFY(host.trace.isEmpty());
        QVERIFY(ReadExportLine(run).isEmpty());
        QVERIFY(run.endOfInput);
        QCOMPARE(host.trace, (QStringList{QString(), QStringLiteral("Osiągnięto fizyczny koniec pliku ")}));
        QVERIFY(!run.readFailed);

        FailDevice failing("x");
        ExportLineSource failingSource(failing);
        run.exportFile = &failingSource;
        host.trace.clear();
        QVERIFY(ReadExportLine(run).isEmpty());
        QVERIFY(run.endOfInput);
        QVERIFY(run.readFailed);
        QCOMPARE(host.trace, QStringList{QStringLiteral("io Błąd odczytu z pliku ")});
    }
};

QTEST_GUILESS_MAIN(ExportLinesTest)
#include "test_export_lines.moc"
