// Cutting the export file into lines: LF, CR LF, lone CR, Ctrl-Z, read errors;
// a file saved as UTF-8 read as Windows-1250 bytes.
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
        QTest::newRow("lone CR dropped") << QByteArray("x\r\na\rb\r\nc") << L{"x", "ab", "c"};
        QTest::newRow("CR line ends") << QByteArray("a\rb\r\rc") << L{"a", "b", "", "c"};
        QTest::newRow("CR line ends, empty first") << QByteArray("\r\ra\rb") << L{"", "", "a", "b"};
        QTest::newRow("CR line ends, then CR LF and LF")
            << QByteArray("a\rb\r\nc\nd\r") << L{"a", "b", "c", "d"};
        QTest::newRow("CR line ends, CR LF across the first chunk's end")
            << QByteArray("a\r") + QByteArray(65533, 'x') + "\r\nb" << L{"a", QByteArray(65533, 'x'), "b"};
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
        QTest::newRow("CR not counted") << QByteArray("x\na\rb\rcdef\n") << L{"x", "abcd"};
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

    // The encoding is told from the first block; a UTF-8 file's lines come as
    // Windows-1250 bytes.
    void utf8Export_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<int>("replaced");
        using L = QList<QByteArray>;
        const QByteArray zazolc = "Za\xbf\xf3\xb3\xe6";
        const QByteArray zazolcUtf8 = "Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87";
        const QByteArray far(70000, 'a');
        QTest::newRow("Windows-1250") << zazolc + "\r\n" << L{zazolc} << false << 0;
        QTest::newRow("UTF-8") << zazolcUtf8 + "\r\nb" << L{zazolc, "b"} << true << 0;
        QTest::newRow("UTF-8 with a byte-order mark")
            << "\xef\xbb\xbf" + zazolcUtf8 << L{zazolc} << true << 0;
        QTest::newRow("byte-order mark alone") << QByteArray("\xef\xbb\xbf") << L{} << true << 0;
        QTest::newRow("ASCII only") << QByteArray("a\r\n") << L{"a"} << false << 0;
        QTest::newRow("Windows-1250 that forms UTF-8 pairs")
            << QByteArray("SP\xd3\xa3KA S.A.") << L{"SP\xd3\xa3KA S.A."} << false << 0;
        QTest::newRow("UTF-8 but for one byte")
            << zazolcUtf8 + " \xb3" << L{"Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87 \xb3"} << false << 0;
        QTest::newRow("sequence cut off by the file's end")
            << QByteArray("\xc5\xbc\xc5") << L{"\xbf\xc5"} << true << 0;
        QTest::newRow("characters Windows-1250 lacks")
            << QByteArray("\xe2\x82\xac \xd0\x96 \xf0\x9f\x98\x80 \xc5\xbc") << L{"\x80 ? ? \xbf"} << true
            << 2;
        QTest::newRow("overlong form and surrogate are no UTF-8")
            << QByteArray("\xc5\xbc \xc0\xaf \xed\xa0\x80") << L{"\xc5\xbc \xc0\xaf \xed\xa0\x80"} << false
            << 0;
        QTest::newRow("a letter across the first chunk's end")
            << "\xc5\xbc" + QByteArray(65533, 'a') + "\xc5\x82\n"
            << L{"\xbf" + QByteArray(65533, 'a') + "\xb3"} << true << 0;
        QTest::newRow("no UTF-8 beyond the first chunk: the byte kept")
            << "\xc5\xbc\n" + far + "\xb3\n"
            << L{"\xbf", far + "\xb3"} << true << 0;
        QTest::newRow("Windows-1250 letters beyond the first chunk")
            << "\xbf\n" + far + "\xc5\xbc\n"
            << L{"\xbf", far + "\xc5\xbc"} << false << 0;
        QTest::newRow("Ctrl-Z ends a UTF-8 file") << QByteArray("\xc5\xbc\x1a\xc5") << L{"\xbf"} << true << 0;
    }
    void utf8Export()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        QFETCH(bool, utf8);
        QFETCH(int, replaced);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        ExportLineSource source(buffer);
        QCOMPARE(source.encoding() == ExportEncoding::Utf8, utf8);
        QList<QByteArray> read;
        QByteArray line;
        while (source.readLine(line) == ExportLineSource::Result::Line)
            read.append(line);
        QCOMPARE(read, lines);
        QCOMPARE(source.replacedCharacters(), qint64(replaced));
        QCOMPARE(source.bytesRead(),
                 qint64(bytes.indexOf('\x1a') < 0 ? bytes.size() : bytes.indexOf('\x1a')));
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
