// The journal's SHA-256 against Qt's, over the lengths where padding and block
// boundaries can go wrong, fed whole and in uneven pieces.
#include "platform/BackgroundSha256.h"
#include "platform/Sha256.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTest>

using namespace przenosnik;

class Sha256Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void knownDigest()
    {
        Sha256 hash;
        hash.addData("abc");
        QCOMPARE(hash.result().toHex(),
                 QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        qInfo("SHA instructions used: %s", Sha256::accelerated() ? "yes" : "no");
    }

    void matchesQt_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("piece");
        for (const int length : {0, 1, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 129, 1000, 1048579}) {
            for (const int piece : {1, 7, 64, 100000}) {
                if (piece == 1 && length > 1000)
                    continue;
                QTest::addRow("%d bytes in pieces of %d", length, piece) << length << piece;
            }
        }
        // On a thread of its own: batches handed over, the queue full, the rest at the end.
        QTest::addRow("3 MiB in records, in the background") << 3 * 1048576 + 17 << -400;
        QTest::addRow("less than a batch, in the background") << 1000 << -64;
    }
    void matchesQt()
    {
        QFETCH(int, length);
        QFETCH(int, piece);
        QByteArray bytes(length, Qt::Uninitialized);
        QRandomGenerator random{quint32(length)};
        for (char& c : bytes)
            c = static_cast<char>(random.bounded(256));
        const QByteArray expected = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
        const auto feed = [&](auto& hash, int size) {
            for (int at = 0; at < length; at += size)
                hash.addData(QByteArrayView(bytes).sliced(at, qMin(size, length - at)));
            return hash.result();
        };
        if (piece > 0) {
            Sha256 hash;
            QCOMPARE(feed(hash, piece), expected);
        } else {
            BackgroundSha256 hash;
            QCOMPARE(feed(hash, -piece), expected);
        }
    }
};

QTEST_GUILESS_MAIN(Sha256Test)
#include "test_sha256.moc"
