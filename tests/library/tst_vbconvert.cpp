// The classic number and truth-value conversions the library files and Scenery.cfg are read with.

#include "library/vbconvert.h"
#include "platform/lmerror.h"

#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The error number the conversion throws, 0 when it throws none.
qint32 errorOf(const std::function<void()> &conversion)
{
    try {
        conversion();
    } catch (const LmError &e) {
        return e.number();
    }
    return 0;
}

} // namespace

class TestVbConvert : public QObject
{
    Q_OBJECT

private slots:
    void leadingValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("blanks anywhere") << u"  12 3abc"_s << 123.0;
        QTest::newRow("D exponent") << u"1D2"_s << 100.0;
        QTest::newRow("hexadecimal is 16-bit signed") << u"&HFFFF"_s << -1.0;
    }

    void leadingValue()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(VbConvert::leadingValue(text), value);
    }

    void toInt16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint16>("converted");
        QTest::addColumn<qint32>("error");
        QTest::newRow("half to even") << 2.5 << qint16(2) << 0;
        QTest::newRow("above top") << 32767.5 << qint16(0) << qint32(VbConvert::Overflow);
        QTest::newRow("below bottom") << -32768.6 << qint16(0) << qint32(VbConvert::Overflow);
    }

    void toInt16()
    {
        QFETCH(double, value);
        QFETCH(qint16, converted);
        QFETCH(qint32, error);
        qint16 result = 0;
        QCOMPARE(errorOf([&] { result = VbConvert::toInt16(value); }), error);
        QCOMPARE(result, converted);
    }

    void textToInt16_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint16>("converted");
        QTest::addColumn<qint32>("error");
        QTest::newRow("hexadecimal") << u"&H10"_s << qint16(16) << 0;
        // Around a number tabs are skipped as well as blanks.
        QTest::newRow("a tab before") << u"\t5"_s << qint16(5) << 0;
        QTest::newRow("trailing letters") << u"12abc"_s << qint16(0) << qint32(LmError::TypeMismatch);
        QTest::newRow("too large") << u"40000"_s << qint16(0) << qint32(VbConvert::Overflow);
    }

    void textToInt16()
    {
        QFETCH(QString, text);
        QFETCH(qint16, converted);
        QFETCH(qint32, error);
        qint16 result = 0;
        QCOMPARE(errorOf([&] { result = VbConvert::textToInt16(text); }), error);
        QCOMPARE(result, converted);
    }

    void textToInt32AboveTop()
    {
        QCOMPARE(errorOf([] { VbConvert::textToInt32(u"2147483648"_s); }), qint32(VbConvert::Overflow));
    }

    void textToBool_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converted");
        QTest::addColumn<qint32>("error");
        QTest::newRow("blanks around a word") << u" tRuE "_s << true << 0;
        QTest::newRow("minus one") << u"-1"_s << true << 0;
        QTest::newRow("other word") << u"yes"_s << false << qint32(LmError::TypeMismatch);
    }

    void textToBool()
    {
        QFETCH(QString, text);
        QFETCH(bool, converted);
        QFETCH(qint32, error);
        bool result = false;
        QCOMPARE(errorOf([&] { result = VbConvert::textToBool(text); }), error);
        QCOMPARE(result, converted);
    }
};

QTEST_GUILESS_MAIN(TestVbConvert)
#include "tst_vbconvert.moc"
