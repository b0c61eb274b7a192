#include "platform/lmerror.h"
#include "library/vbconvert.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestVbConvert : public QObject
{
    Q_OBJECT

private slots:
    void convert_data()
    {
        QTest::addColumn<QString>("to");  // Leading (the leading value of the text), Int16 (of a number), or from text
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");  // the value, or "error N"
        QTest::newRow("leading: blanks anywhere") << "Leading" << "  12 3abc" << "123";
        QTest::newRow("leading: D exponent") << "Leading" << "1D2" << "100";
        QTest::newRow("leading: hexadecimal is 16-bit signed") << "Leading" << "&HFFFF" << "-1";
        QTest::newRow("half to even") << "Int16" << "2.5" << "2";
        QTest::newRow("above top") << "Int16" << "32767.5" << "error 6";
        QTest::newRow("below bottom") << "Int16" << "-32768.6" << "error 6";
        QTest::newRow("text: hexadecimal") << "TextInt16" << "&H10" << "16";
        QTest::newRow("text: trailing letters") << "TextInt16" << "12abc" << "error 13";
        QTest::newRow("text: too large") << "TextInt16" << "40000" << "error 6";
        QTest::newRow("text, 32 bits: above top") << "TextInt32" << "2147483648" << "error 6";
        QTest::newRow("truth: blanks around a word") << "Bool" << " tRuE " << "1";
        QTest::newRow("truth: minus one") << "Bool" << "-1" << "1";
        QTest::newRow("truth: other word") << "Bool" << "yes" << "error 13";
    }

    void convert()
    {
        QFETCH(QString, to);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        try {
            QCOMPARE(to == u"Leading"_s     ? QString::number(VbConvert::leadingValue(text))
                     : to == u"Int16"_s     ? QString::number(VbConvert::toInt16(text.toDouble()))
                     : to == u"TextInt16"_s ? QString::number(VbConvert::textToInt16(text))
                     : to == u"TextInt32"_s ? QString::number(VbConvert::textToInt32(text))
                                            : QString::number(VbConvert::textToBool(text)),
                     expected);
        } catch (const LmError &e) {
            QCOMPARE(u"error %1"_s.arg(e.number()), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestVbConvert)
#include "tst_vbconvert.moc"
