#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The printed form of a text report, as plain data: which page size and font the lines get, and
// which lines go on which page. The painting itself belongs to the graphical front ends.

// A report as it is printed: the header and its underline stand at the top of every page.
struct ReportDocument
{
    QString title;
    QString header;
    QString underline;
    QStringList rows;

    // Characters of the longest line.
    qsizetype width() const;
};

// How a report's lines fit the paper. Sizes in points; advance: the width of one character of the
// monospaced font per point of font size (0.6 for the usual typewriter faces).
struct PageFit
{
    bool landscape = false;
    double fontPoints = 0;

    static constexpr double NormalPoints = 10;
    // Below this a printed line is hard to read; wider lines go on in strips instead.
    static constexpr double SmallestPoints = 7;

    // Portrait at the normal size when the line fits; else landscape, at the normal size or at the
    // largest size from there down to the smallest at which the line fits; else landscape at the
    // smallest size, the line going on in strips.
    static PageFit choose(qsizetype lineChars, double advance, double portraitWidth, double portraitHeight);
    // The font size for a page of that width, between the smallest and the normal size.
    static double fontPointsFor(qsizetype lineChars, double advance, double pageWidth);
};

struct ReportPage
{
    int number = 0;
    QStringList lines; // header, underline, then the rows
    QString footer;    // "Page 2 of 5"
};

// The pages of the report. Each page holds up to rowsPerPage rows (at least one) below the header
// and underline. A line wider than charsPerLine goes on in strips, cut after a column's "|" where
// one fits: the pages of a band of rows follow each other strip by strip, so that they can be laid
// side by side. A report without rows still has its one page.
QList<ReportPage> paginate(const ReportDocument &document, int rowsPerPage, int charsPerLine);

// Where the strips of a line of that header begin and end: [start, end) character ranges.
QList<std::pair<qsizetype, qsizetype>> stripRanges(const QString &header, qsizetype lineChars,
                                                   int charsPerLine);
