#pragma once

#include "reports/frmprintscenerylist.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

// Registers the report dialog with the GUI's UI port.
void registerReportViews();

// Prints a report through a print preview, from which it can also be saved as a PDF.
class PreviewReportPrinter : public ReportPrinter
{
public:
    // saveAsPdf: what the preview's "Save as PDF" runs.
    PreviewReportPrinter(QWidget *parent, std::function<void()> saveAsPdf);

    Outcome print(const ReportDocument &document) override;
    Outcome savePdf(const ReportDocument &document, const QString &hostPath,
                    const QString &shownPath) override;

    // Called with each preview dialog once it is set up, before it is shown (tests look at it).
    std::function<void(QDialog &preview)> onPreview;

private:
    QWidget *m_parent;
    std::function<void()> m_saveAsPdf;
};

// "Print scenery list": the column list with check boxes and widths (a double click asks for the
// width), the six version boxes, the preview in the report's monospaced font, and the buttons.
class PrintSceneryListView : public QDialog
{
    Q_OBJECT
public:
    PrintSceneryListView(frmPrintSceneryList &form, QWidget *parent = nullptr);
    ~PrintSceneryListView() override;

    QListWidget *columns() const { return m_columns; }
    QCheckBox *filterBox(int bit) const { return m_filter.at(size_t(bit)); }
    QPlainTextEdit *preview() const { return m_preview; }
    PreviewReportPrinter &printer() { return m_printer; }

    void reject() override;

private:
    void showColumn(int index);

    frmPrintSceneryList &m_form;
    PreviewReportPrinter m_printer;
    QListWidget *m_columns = nullptr;
    std::array<QCheckBox *, SceneryListReport::FilterBoxCount> m_filter{};
    QPlainTextEdit *m_preview = nullptr;
};
