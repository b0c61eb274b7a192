#include "reports/reportpages.h"

#include <algorithm>
#include <cmath>

qsizetype ReportDocument::width() const
{
    qsizetype longest = std::max(header.size(), underline.size());
    for (const QString &row : rows)
        longest = std::max(longest, row.size());
    return longest;
}

double PageFit::fontPointsFor(qsizetype lineChars, double advance, double pageWidth)
{
    if (lineChars <= 0 || advance <= 0)
        return NormalPoints;
    // Half points are what a font menu offers; the line must still fit after rounding down.
    const double fitting = std::floor(2 * pageWidth / (double(lineChars) * advance)) / 2;
    return std::clamp(fitting, SmallestPoints, NormalPoints);
}

PageFit PageFit::choose(qsizetype lineChars, double advance, double portraitWidth, double portraitHeight)
{
    const double needed = double(lineChars) * advance * NormalPoints;
    if (needed <= portraitWidth)
        return {false, NormalPoints};
    const double landscapeWidth = std::max(portraitWidth, portraitHeight);
    return {true, fontPointsFor(lineChars, advance, landscapeWidth)};
}

QList<std::pair<qsizetype, qsizetype>> stripRanges(const QString &header, qsizetype lineChars,
                                                   int charsPerLine)
{
    QList<std::pair<qsizetype, qsizetype>> ranges;
    const qsizetype capacity = std::max(1, charsPerLine);
    qsizetype start = 0;
    while (start < lineChars || ranges.isEmpty()) {
        qsizetype end = std::min(lineChars, start + capacity);
        if (end < lineChars) {
            // Cut after the last column that ends within the strip, when one does.
            const qsizetype bar = header.lastIndexOf(QLatin1Char('|'), end - 1);
            if (bar >= start)
                end = bar + 1;
        }
        ranges.append({start, end});
        if (end <= start)
            break;
        start = end;
    }
    return ranges;
}

QList<ReportPage> paginate(const ReportDocument &document, int rowsPerPage, int charsPerLine)
{
    const qsizetype perPage = std::max(1, rowsPerPage);
    const auto strips = stripRanges(document.header, document.width(), charsPerLine);
    const qsizetype bands = std::max<qsizetype>(1, (document.rows.size() + perPage - 1) / perPage);

    QList<ReportPage> pages;
    for (qsizetype band = 0; band < bands; ++band) {
        const QStringList rows = document.rows.mid(band * perPage, perPage);
        for (const auto &[start, end] : strips) {
            ReportPage page;
            page.number = int(pages.size() + 1);
            page.lines.append(document.header.mid(start, end - start));
            page.lines.append(document.underline.mid(start, end - start));
            for (const QString &row : rows)
                page.lines.append(row.mid(start, end - start));
            pages.append(page);
        }
    }
    for (ReportPage &page : pages)
        page.footer = QStringLiteral("Page %1 of %2").arg(page.number).arg(pages.size());
    return pages;
}
