#pragma once

#include "library/records.h"
#include "platform/appcontext.h"
#include "platform/outcome.h"
#include "reports/reportpages.h"
#include "reports/scenerylistreport.h"

#include <QList>
#include <QString>

#include <array>

class SceneryManager;

// Sends a report's lines to a printer. The graphical program prints through a print preview; the
// printer belongs to the view, which hands it to the dialog it shows.
class ReportPrinter
{
public:
    virtual ~ReportPrinter() = default;
    // Done when printed, Stopped when the user cancelled, Failed with the error.
    virtual Outcome print(const ReportDocument &document) = 0;
    // The printed pages as a PDF file, replaced as a whole (hostPath on this machine, shownPath in
    // messages). Done or Failed.
    virtual Outcome savePdf(const ReportDocument &document, const QString &hostPath,
                            const QString &shownPath) = 0;
};

// The dialog "Print scenery list": the column list with its widths, the simulator version filter
// and the report's text in a monospaced preview.
class frmPrintSceneryList : public FormLogic
{
public:
    frmPrintSceneryList(const SceneryManager &manager, AppContext &context);

    QString formName() const override { return QStringLiteral("frmPrintSceneryList"); }
    static QString caption() { return QStringLiteral("Print scenery list"); }
    // The preview's font; the printed lines take the same.
    static QString fontFamily() { return QStringLiteral("Courier New"); }
    // Widths are whole numbers from 0 up to this; a larger answer would only make every line
    // longer than any page or screen.
    static constexpr int MaxWidth = 999;

    // An entry of lstColumns: its text is the width, ":" and the column's name ("5:Group").
    struct ColumnEntry
    {
        QString text;
        bool checked = false;
    };
    QList<ColumnEntry> lstColumns;
    // The six version boxes chkFilter(0..5), bit i for box i.
    std::array<bool, SceneryListReport::FilterBoxCount> chkFilter{};
    QString txtPreview;
    bool visible = true;

    // Every column unchecked at its default width, no box checked, the preview empty.
    void Form_Load();

    void setPrinter(ReportPrinter *printer) { m_printer = printer; }

    // The column's name and width as its entry's text gives them: the whole number before the
    // first ":", or the name's length when that is not a number.
    QString columnName(int index) const;
    int columnWidth(int index) const;
    SceneryListReport::Align columnAlign(int index) const;
    int filterMask() const;

    QString GetHeader() const;
    QString underline() const;
    QString GetLine(const clsScenery &scenery) const;
    // The header, the underline and the row of each scenery the filter lets through, in library
    // order.
    ReportDocument document() const;

    // Builds the report's text (lines ending in CR LF) into the preview.
    void cmdRefresh_Click();
    // Sends the header, the underline and the rows to the printer.
    Outcome cmdPrint_Click();
    // The same pages into a PDF file the user names; a failure is shown.
    Outcome cmdSavePdf_Click();
    void cmdClose_Click() { visible = false; }
    // Asks for the column's width; a whole number from 0 to MaxWidth (or a number whose whole part
    // is one) becomes its width, anything else leaves the column as it was.
    void lstColumns_DblClick(int index);
    // Sets a column's width as the width prompt would; false (nothing changed) for a text that is
    // no width.
    bool setColumnWidth(int index, const QString &answer);

private:
    const SceneryManager &m_manager;
    AppContext &m_context;
    UiPort &m_ui;
    ReportPrinter *m_printer = nullptr;
};
