#include "platform/lmerror.h"
#include "scenerycfg/vbconvert.h"

#include <QTest>

#include <optional>

namespace {
// The error number a conversion raises, or nothing when it succeeds.
template<typename F>
std::optional<qint32> errorOf(F &&convert)
{
    try {
        convert();
    } catch (const LmError &e) {
        return e.number();
    }
    return std::nullopt;
}
}

class TestVbConvert : public QObject
{
    Q_OBJECT

private slots:
    void leadingValue_data();
    void leadingValue();
    void toInt16_data();
    void toInt16();
    void textToInt16_data();
    void textToInt16();
    void textToInt32_data();
    void textToInt32();
    void textToBool_data();
    void textToBool();
};

void TestVbConvert::leadingValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("whole") << "123" << 123.0;
    QTest::newRow("blanks anywhere") << "  12 3abc" << 123.0;
    QTest::newRow("sign, fraction, exponent") << "-4.5e2x" << -450.0;
    QTest::newRow("D exponent") << "1D2" << 100.0;
    QTest::newRow("exponent without digits ignored") << "1e" << 1.0;
    QTest::newRow("fraction only") << ".5" << 0.5;
    QTest::newRow("second point ends") << "1.5.6" << 1.5;
    QTest::newRow("hexadecimal") << "&HFF" << 255.0;
    QTest::newRow("hexadecimal is 16-bit signed") << "&HFFFF" << -1.0;
    QTest::newRow("hexadecimal 32-bit") << "&H10000" << 65536.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("carriage return ends") << "1\r2" << 1.0;
}

void TestVbConvert::leadingValue()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(VbConvert::leadingValue(text), expected);
}

void TestVbConvert::toInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");  // -1000000: error 6
    QTest::newRow("half down to even") << 0.5 << 0;
    QTest::newRow("half up to even") << 1.5 << 2;
    QTest::newRow("2.5 to 2") << 2.5 << 2;
    QTest::newRow("-0.5 to 0") << -0.5 << 0;
    QTest::newRow("-1.5 to -2") << -1.5 << -2;
    QTest::newRow("top") << 32767.4 << 32767;
    QTest::newRow("above top") << 32767.5 << -1000000;
    QTest::newRow("bottom half to even") << -32768.5 << -32768;
    QTest::newRow("below bottom") << -32768.6 << -1000000;
}

void TestVbConvert::toInt16()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    if (expected == -1000000) {
        QCOMPARE(errorOf([&] { VbConvert::toInt16(value); }), std::optional<qint32>(VbConvert::Overflow));
    } else {
        QCOMPARE(int(VbConvert::toInt16(value)), expected);
    }
}

void TestVbConvert::textToInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("error");  // 0: none
    QTest::newRow("number") << "12" << 12 << 0;
    QTest::newRow("blanks around") << " 12 " << 12 << 0;
    QTest::newRow("fraction rounds to even") << "2.5" << 2 << 0;
    QTest::newRow("negative") << "-300" << -300 << 0;
    QTest::newRow("hexadecimal") << "&H10" << 16 << 0;
    QTest::newRow("letters") << "abc" << 0 << 13;
    QTest::newRow("empty") << "" << 0 << 13;
    QTest::newRow("trailing letters") << "12abc" << 0 << 13;
    QTest::newRow("blank inside") << "1 2" << 0 << 13;
    QTest::newRow("hexadecimal without digits") << "&H" << 0 << 13;
    QTest::newRow("too large") << "40000" << 0 << 6;
    QTest::newRow("exponent too large") << "1e400" << 0 << 6;
}

void TestVbConvert::textToInt16()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QFETCH(int, error);
    if (error) {
        QCOMPARE(errorOf([&] { VbConvert::textToInt16(text); }), std::optional<qint32>(error));
    } else {
        QCOMPARE(int(VbConvert::textToInt16(text)), expected);
    }
}

void TestVbConvert::textToInt32_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<int>("error");
    QTest::newRow("beyond 16 bits") << "40000" << qint64(40000) << 0;
    QTest::newRow("top") << "2147483647" << qint64(2147483647) << 0;
    QTest::newRow("above top") << "2147483648" << qint64(0) << 6;
    QTest::newRow("not a number") << "many" << qint64(0) << 13;
}

void TestVbConvert::textToInt32()
{
    QFETCH(QString, text);
    QFETCH(qint64, expected);
    QFETCH(int, error);
    if (error) {
        QCOMPARE(errorOf([&] { VbConvert::textToInt32(text); }), std::optional<qint32>(error));
    } else {
        QCOMPARE(qint64(VbConvert::textToInt32(text)), expected);
    }
}

void TestVbConvert::textToBool_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<bool>("mismatch");
    QTest::newRow("True") << "True" << true << false;
    QTest::newRow("FALSE") << "FALSE" << false << false;
    QTest::newRow("mixed case") << "tRuE" << true << false;
    QTest::newRow("blanks around") << " false " << false << false;
    QTest::newRow("one") << "1" << true << false;
    QTest::newRow("zero") << "0" << false << false;
    QTest::newRow("minus one") << "-1" << true << false;
    QTest::newRow("fraction") << "0.5" << true << false;
    QTest::newRow("word") << "yes" << false << true;
    QTest::newRow("empty") << "" << false << true;
    QTest::newRow("number with text") << "1x" << false << true;
}

void TestVbConvert::textToBool()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QFETCH(bool, mismatch);
    if (mismatch) {
        QCOMPARE(errorOf([&] { VbConvert::textToBool(text); }), std::optional<qint32>(LmError::TypeMismatch));
    } else {
        QCOMPARE(VbConvert::textToBool(text), expected);
    }
}

QTEST_GUILESS_MAIN(TestVbConvert)
#include "tst_vbconvert.moc"
