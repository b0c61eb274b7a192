#include "gui/reports/reportpaint.h"

#include "platform/atomicfile.h"
#include "platform/lmerror.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace ReportPaint {

namespace {

constexpr double MarginMillimetres = 12;

// The width of one character per point of font size, in device pixels.
double advancePerPoint(const QString &family, QPaintDevice &device)
{
    const QFontMetricsF metrics(reportFont(family, PageFit::NormalPoints), &device);
    return metrics.horizontalAdvance(QLatin1Char('M')) / PageFit::NormalPoints;
}

} // namespace

QFont reportFont(const QString &family, double points)
{
    QFont font(family);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    return font;
}

void preparePage(const ReportDocument &document, const QString &family, QPagedPaintDevice &device)
{
    device.setPageMargins(
        QMarginsF(MarginMillimetres, MarginMillimetres, MarginMillimetres, MarginMillimetres),
        QPageLayout::Millimeter);
    QPageLayout portrait = device.pageLayout();
    portrait.setOrientation(QPageLayout::Portrait);
    const QRect area = portrait.paintRectPixels(device.logicalDpiX());
    const PageFit fit =
        PageFit::choose(document.width(), advancePerPoint(family, device), area.width(), area.height());
    device.setPageOrientation(fit.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int paint(const ReportDocument &document, const QString &family, QPagedPaintDevice &device)
{
    const double points =
        PageFit::fontPointsFor(document.width(), advancePerPoint(family, device), device.width());
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const QFont font = reportFont(family, points);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const double lineHeight = metrics.lineSpacing();
    const int charsPerLine = int(std::floor(device.width() / metrics.horizontalAdvance(QLatin1Char('M'))));
    // The header and underline, and a blank line and the page number at the foot.
    const int rowsPerPage = int(std::floor(device.height() / lineHeight)) - 4;

    const QList<ReportPage> pages = paginate(document, rowsPerPage, charsPerLine);
    for (const ReportPage &page : pages) {
        if (page.number > 1)
            device.newPage();
        double baseline = metrics.ascent();
        for (const QString &line : page.lines) {
            painter.drawText(QPointF(0, baseline), line);
            baseline += lineHeight;
        }
        const double footerWidth = metrics.horizontalAdvance(page.footer);
        painter.drawText(QPointF((device.width() - footerWidth) / 2, device.height() - metrics.descent()),
                         page.footer);
    }
    painter.end();
    return int(pages.size());
}

Outcome savePdf(const ReportDocument &document, const QString &family, const QString &hostPath,
                const QString &shownPath)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(document.title);
        writer.setCreator(QStringLiteral("Lumivale"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(600);
        preparePage(document, family, writer);
        if (paint(document, family, writer) == 0)
            return Outcome::failed(LmError::standard(LmError::PathFileAccess, shownPath), shownPath);
    }
    try {
        AtomicFile file(hostPath, shownPath);
        file.write(bytes);
        file.commit();
    } catch (const LmError &error) {
        return Outcome::failed(error, shownPath);
    }
    return Outcome::done();
}

} // namespace ReportPaint
