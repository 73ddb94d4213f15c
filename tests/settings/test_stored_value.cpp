// Stored control values: the text forms of booleans and integers, and how a
// window's list is restored and saved.
#include "settings/SettingsStore.h"
#include "settings/StoredValue.h"

#include "support/TestSupport.h"

#include <QTest>

using namespace przenosnik;

namespace {

struct Controls
{
    bool checked = false;
    QString text = QStringLiteral("designed");
    int number = 42;
    QStringList calls; // the order in which values reached the controls
};

StoredValueList bind(Controls& c)
{
    return {
        StoredValue::boolean(
            QStringLiteral("chb_kod_Checked"), [&c] { return c.checked; },
            [&c](bool v) {
                c.checked = v;
                c.calls.append(QStringLiteral("chb_kod"));
            }),
        StoredValue::string(
            QStringLiteral("Edit_OPIS_Text"), [&c] { return c.text; },
            [&c](const QString& v) {
                c.text = v;
                c.calls.append(QStringLiteral("Edit_OPIS"));
            }),
        StoredValue::integer(
            QStringLiteral("Spin_Value"), [&c] { return c.number; },
            [&c](int v) {
                c.number = v;
                c.calls.append(QStringLiteral("Spin"));
            }),
    };
}

SettingsStore storeOf(const char* text)
{
    return SettingsStore(QStringLiteral("MAIN"), IniFile::fromBytes(text));
}

} // namespace

class StoredValueTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesBoolean_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // 1 true, 0 false, -1 cannot convert
        QTest::newRow("TRUE") << QStringLiteral("TRUE") << 1;
        QTest::newRow("true") << QStringLiteral("true") << 1;
        QTest::newRow("Yes") << QStringLiteral("Yes") << 1;
        QTest::newRow("yes") << QStringLiteral("yes") << 1;
        QTest::newRow("y") << QStringLiteral("y") << 1;
        QTest::newRow("FALSE") << QStringLiteral("FALSE") << 0;
        QTest::newRow("False") << QStringLiteral("False") << 0;
        QTest::newRow("no") << QStringLiteral("no") << 0;
        QTest::newRow("N") << QStringLiteral("N") << 0;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("1") << QStringLiteral("1") << 1;
        QTest::newRow("0") << QStringLiteral("0") << 0;
        QTest::newRow("000") << QStringLiteral("000") << 0;
        QTest::newRow("-1") << QStringLiteral("-1") << 1;
        QTest::newRow("17") << QStringLiteral("17") << 1;
        QTest::newRow("Q") << QStringLiteral("Q") << -1;
        QTest::newRow("T") << QStringLiteral("T") << -1;
        QTest::newRow("YESS") << QStringLiteral("YESS") << -1;
        QTest::newRow("1.0") << QStringLiteral("1.0") << -1;
        QTest::newRow("minus alone") << QStringLiteral("-") << -1;
        QTest::newRow("beyond int") << QStringLiteral("99999999999") << -1;
        QTest::newRow("inner blank") << QStringLiteral("TR UE") << -1;
    }

    void parsesBoolean()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<bool> value = parseStoredBoolean(text);
        QCOMPARE(value.has_value() ? int(*value) : -1, expected);
    }

    void parsesInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("expected");
        QTest::newRow("zero") << QStringLiteral("0") << true << 0;
        QTest::newRow("positive") << QStringLiteral("306") << true << 306;
        QTest::newRow("negative") << QStringLiteral("-32000") << true << -32000;
        QTest::newRow("leading zeros") << QStringLiteral("-007") << true << -7;
        QTest::newRow("largest") << QStringLiteral("2147483647") << true << 2147483647;
        QTest::newRow("smallest") << QStringLiteral("-2147483648") << true << int(-2147483647 - 1);
        QTest::newRow("too large") << QStringLiteral("2147483648") << false << 0;
        QTest::newRow("too small") << QStringLiteral("-2147483649") << false << 0;
        QTest::newRow("very long") << QStringLiteral("123456789012345678901234567890") << false << 0;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("plus sign") << QStringLiteral("+1") << false << 0;
        QTest::newRow("double minus") << QStringLiteral("--1") << false << 0;
        QTest::newRow("trailing letter") << QStringLiteral("12a") << false << 0;
        QTest::newRow("hex") << QStringLiteral("0x10") << false << 0;
        QTest::newRow("arabic-indic digit") << QStringLiteral("\u0661") << false << 0;
    }

    void parsesInteger()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, expected);
        const std::optional<int> value = parseStoredInteger(text);
        QCOMPARE(value.has_value(), valid);
        if (valid)
            QCOMPARE(*value, expected);
    }

    void formatsValues()
    {
        QCOMPARE(formatStoredBoolean(true), QStringLiteral("TRUE"));
        QCOMPARE(formatStoredBoolean(false), QStringLiteral("FALSE"));
        QCOMPARE(formatStoredInteger(-32000), QStringLiteral("-32000"));
        QCOMPARE(formatStoredInteger(0), QStringLiteral("0"));
    }

    void restoresCheckBox_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("initial");
        QTest::addColumn<bool>("expected");
        QTest::newRow("yes checks") << QByteArray("[MAIN]\nchb_kod_Checked=yes\n") << false << true;
        QTest::newRow("1 checks") << QByteArray("[MAIN]\nchb_kod_Checked=1\n") << false << true;
        QTest::newRow("empty unchecks") << QByteArray("[MAIN]\nchb_kod_Checked=\n") << true << false;
        QTest::newRow("Q leaves checked") << QByteArray("[MAIN]\nchb_kod_Checked=Q\n") << true << true;
        QTest::newRow("Q leaves unchecked") << QByteArray("[MAIN]\nchb_kod_Checked=Q\n") << false << false;
        QTest::newRow("missing leaves checked") << QByteArray("[MAIN]\nOther=FALSE\n") << true << true;
        QTest::newRow("other section ignored") << QByteArray("[X]\nchb_kod_Checked=TRUE\n") << false << false;
        QTest::newRow("key case ignored") << QByteArray("[main]\nCHB_KOD_CHECKED=TrUe\n") << false << true;
    }

    void restoresCheckBox()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, initial);
        QFETCH(bool, expected);
        Controls c;
        c.checked = initial;
        restoreStoredValues(storeOf(file.constData()), bind(c));
        QCOMPARE(c.checked, expected);
    }

    void stringLosesBlanksAtBothEnds()
    {
        // The file reader already trims; a value held in memory with blanks is trimmed too.
        Controls c;
        SettingsStore store(QStringLiteral("MAIN"), IniFile());
        store.setValue(QStringLiteral("Edit_OPIS_Text"), QStringLiteral("  Sprzedaż towarów \t"));
        restoreStoredValues(store, bind(c));
        QCOMPARE(c.text, QStringLiteral("Sprzedaż towarów"));

        restoreStoredValues(storeOf("[MAIN]\nEdit_OPIS_Text=   opis z odst\xEApami   \n"), bind(c));
        QCOMPARE(c.text, QStringLiteral("opis z odstępami"));
    }

    void unconvertibleValueSkipsOnlyItsEntry()
    {
        Controls c;
        c.checked = true;
        restoreStoredValues(storeOf("[MAIN]\nSpin_Value=12\nchb_kod_Checked=maybe\nEdit_OPIS_Text=x\n"),
                            bind(c));
        QCOMPARE(c.checked, true);
        QCOMPARE(c.text, QStringLiteral("x"));
        QCOMPARE(c.number, 12);
        QCOMPARE(c.calls, QStringList({"Edit_OPIS", "Spin"}));

        restoreStoredValues(storeOf("[MAIN]\nSpin_Value=12.5\n"), bind(c));
        QCOMPARE(c.number, 12);
    }

    void restoresInListOrderNotFileOrder()
    {
        Controls c;
        restoreStoredValues(storeOf("[MAIN]\nSpin_Value=-3\nEdit_OPIS_Text=a\nchb_kod_Checked=N\n"), bind(c));
        QCOMPARE(c.calls, QStringList({"chb_kod", "Edit_OPIS", "Spin"}));
        QCOMPARE(c.number, -3);
        QCOMPARE(c.checked, false);
    }

    void savesEveryValueInListOrder()
    {
        Controls c;
        c.checked = true;
        c.text = QStringLiteral(" held as is ");
        c.number = -1;
        SettingsStore store(QStringLiteral("MAIN"), IniFile::fromBytes("[MAIN]\nSpin_Value=5\n"));
        saveStoredValues(store, bind(c));
        PRZ_COMPARE_BYTES(
            store.contents().toBytes(),
            "[MAIN]\r\nSpin_Value=-1\r\nchb_kod_Checked=TRUE\r\nEdit_OPIS_Text= held as is \r\n\r\n");
        QVERIFY(c.calls.isEmpty());
    }

    void savedValuesRestoreTheSame()
    {
        Controls saved;
        saved.checked = true;
        saved.text = QStringLiteral("Usługi ćwiczeń");
        saved.number = 2147483647;
        SettingsStore store(QStringLiteral("MAIN"), IniFile());
        saveStoredValues(store, bind(saved));

        Controls restored;
        restoreStoredValues(
            SettingsStore(QStringLiteral("MAIN"), IniFile::fromBytes(store.contents().toBytes())),
            bind(restored));
        QCOMPARE(restored.checked, saved.checked);
        QCOMPARE(restored.text, saved.text);
        QCOMPARE(restored.number, saved.number);
    }
};

QTEST_APPLESS_MAIN(StoredValueTest)
#include "test_stored_value.moc"
