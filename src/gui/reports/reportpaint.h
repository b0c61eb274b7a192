#pragma once

#include "platform/outcome.h"
#include "reports/reportpages.h"

#include <QFont>
#include <QString>

class QPagedPaintDevice;

// The printed pages of a text report, painted with Qt Gui alone: the graphical program prints and
// previews them, the command line writes them as a PDF.
namespace ReportPaint {

// The report's monospaced font at that size; a machine without the family takes its typewriter
// face.
QFont reportFont(const QString &family, double points);

// Margins and orientation for the report: portrait when its lines fit, else landscape
// (PageFit::choose).
void preparePage(const ReportDocument &document, const QString &family, QPagedPaintDevice &device);

// Paints every page: the header and underline at the top of each, the rows, "Page n of m" centred
// at the foot. The font is as large as the page's width lets it be between the smallest and the
// normal size; lines still wider go on in strips. Returns the number of pages, 0 when the device
// could not be painted on.
int paint(const ReportDocument &document, const QString &family, QPagedPaintDevice &device);

// The report as a PDF file of A4 pages, replaced as a whole. Done, or Failed with the error.
Outcome savePdf(const ReportDocument &document, const QString &family, const QString &hostPath,
                const QString &shownPath);

} // namespace ReportPaint
