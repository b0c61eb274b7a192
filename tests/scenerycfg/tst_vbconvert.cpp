#include "platform/lmerror.h"
#include "scenerycfg/vbconvert.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The converted value as text, or "error N" when the conversion raises error N.
template<typename F>
QString resultOf(F &&convert)
{
    try {
        return QString::number(convert());
    } catch (const LmError &e) {
        return u"error %1"_s.arg(e.number());
    }
}
}

class TestVbConvert : public QObject
{
    Q_OBJECT

private slots:
    void leadingValue_data()
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

    void leadingValue()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(VbConvert::leadingValue(text), expected);
    }

    void toInt16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half down to even") << 0.5 << "0";
        QTest::newRow("half up to even") << 1.5 << "2";
        QTest::newRow("2.5 to 2") << 2.5 << "2";
        QTest::newRow("-1.5 to -2") << -1.5 << "-2";
        QTest::newRow("top") << 32767.4 << "32767";
        QTest::newRow("above top") << 32767.5 << "error 6";
        QTest::newRow("bottom half to even") << -32768.5 << "-32768";
        QTest::newRow("below bottom") << -32768.6 << "error 6";
    }

    void toInt16()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(resultOf([&] { return VbConvert::toInt16(value); }), expected);
    }

    void fromText_data()
    {
        QTest::addColumn<QString>("to");  // Int16, Int32 or Bool (shown as 1 / 0)
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number") << "Int16" << "12" << "12";
        QTest::newRow("blanks around") << "Int16" << " 12 " << "12";
        QTest::newRow("fraction rounds to even") << "Int16" << "2.5" << "2";
        QTest::newRow("negative") << "Int16" << "-300" << "-300";
        QTest::newRow("hexadecimal") << "Int16" << "&H10" << "16";
        QTest::newRow("letters") << "Int16" << "abc" << "error 13";
        QTest::newRow("empty") << "Int16" << "" << "error 13";
        QTest::newRow("trailing letters") << "Int16" << "12abc" << "error 13";
        QTest::newRow("blank inside") << "Int16" << "1 2" << "error 13";
        QTest::newRow("hexadecimal without digits") << "Int16" << "&H" << "error 13";
        QTest::newRow("too large") << "Int16" << "40000" << "error 6";
        QTest::newRow("exponent too large") << "Int16" << "1e400" << "error 6";
        QTest::newRow("32 bits: beyond 16 bits") << "Int32" << "40000" << "40000";
        QTest::newRow("32 bits: top") << "Int32" << "2147483647" << "2147483647";
        QTest::newRow("32 bits: above top") << "Int32" << "2147483648" << "error 6";
        QTest::newRow("32 bits: not a number") << "Int32" << "many" << "error 13";
        QTest::newRow("True") << "Bool" << "True" << "1";
        QTest::newRow("FALSE") << "Bool" << "FALSE" << "0";
        QTest::newRow("mixed case") << "Bool" << "tRuE" << "1";
        QTest::newRow("blanks around a word") << "Bool" << " false " << "0";
        QTest::newRow("zero") << "Bool" << "0" << "0";
        QTest::newRow("minus one") << "Bool" << "-1" << "1";
        QTest::newRow("fraction") << "Bool" << "0.5" << "1";
        QTest::newRow("word") << "Bool" << "yes" << "error 13";
        QTest::newRow("empty word") << "Bool" << "" << "error 13";
        QTest::newRow("number with text") << "Bool" << "1x" << "error 13";
    }

    void fromText()
    {
        QFETCH(QString, to);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(resultOf([&]() -> qint64 {
                     if (to == u"Int16")
                         return VbConvert::textToInt16(text);
                     if (to == u"Int32")
                         return VbConvert::textToInt32(text);
                     return VbConvert::textToBool(text);
                 }),
                 expected);
    }
};

QTEST_GUILESS_MAIN(TestVbConvert)
#include "tst_vbconvert.moc"
