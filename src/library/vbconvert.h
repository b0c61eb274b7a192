#pragma once

#include <QString>

// The classic text and number conversions the library files and Scenery.cfg have always been read
// with. Keeping their exact rules (leading numeric value, banker's rounding, "True"/"False" or a
// number) means files written by every earlier version read back to the same values.
namespace VbConvert {

// Error 6, raised when a value does not fit the integer it is converted to.
constexpr qint32 Overflow = 6;

// The leading numeric value of a text: blanks, tabs and line feeds are skipped anywhere, then an
// optional sign, digits, a decimal point and an exponent ("E" or "D") are taken as far as they
// form a number; "&H" and "&O" introduce hexadecimal and octal whole numbers. No number gives 0.
double leadingValue(const QString &text);

// True when the whole text (blanks around it allowed) is a number: decimal with optional sign,
// fraction and exponent, or "&H"/"&O" whole numbers.
bool isNumeric(const QString &text);

// Rounds to the nearest whole number, halves to the even neighbour, and checks the range: error 6
// "Overflow" when the result does not fit.
qint16 toInt16(double value);
qint32 toInt32(double value);

// Converts a whole text as a number converts to an integer: a text that is not numeric is error 13
// "Type mismatch", a value out of range error 6 "Overflow".
qint16 textToInt16(const QString &text);
qint32 textToInt32(const QString &text);

// "True" or "False" in any letter case, or a number (non-zero is true); anything else is error 13.
bool textToBool(const QString &text);

// A number as decimal text the way the classic conversion prints it: "7", "-3", "1.5", "1E+20".
QString numberText(double value);

}

namespace TextLines {
// A value as one line of a line-based file: every CR and LF becomes a blank, so a value can never
// split its line and shift every line after it.
inline QString singleLine(QString value)
{
    for (QChar &c : value) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return value;
}
}
