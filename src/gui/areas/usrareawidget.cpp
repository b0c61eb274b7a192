#include "gui/areas/usrareawidget.h"

#include "areas/usrarea.h"

#include "ui_usrareawidget.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const QChar MaskBlank = AreaText::Unfilled;
const QColor UnreadBackground(255, 222, 222);

// Masked fields fill from the left, so they are aligned left; wide enough for the mask and a
// little air, so the fields line up in columns.
void fitToMask(QLineEdit *edit, int characters)
{
    const int text = edit->fontMetrics().horizontalAdvance(QString(characters + 1, QLatin1Char('0')));
    edit->setFixedWidth(text + 12);
}

// Shows the logic's text unless the field already says the same, so typing keeps its cursor.
void showText(QLineEdit *edit, const QString &text)
{
    if (edit->displayText() == text)
        return;
    QString plain = text;
    plain.replace(MaskBlank, QLatin1Char(' '));
    edit->setText(plain);
}
} // namespace

UsrAreaWidget::UsrAreaWidget(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::UsrAreaWidget>())
{
    Ui::UsrAreaWidget &ui = *m_ui;
    ui.setupUi(this);
    m_rows = {
        {ui.cboHemisphere1, ui.txtDegrees1, ui.txtMinutes1, {ui.lblDegreeSign1, ui.lblMinuteSign1}, {}},
        {ui.cboHemisphere2, ui.txtDegrees2, ui.txtMinutes2, {ui.lblDegreeSign2, ui.lblMinuteSign2}, {}},
        {ui.cboHemisphere3, ui.txtDegrees3, ui.txtMinutes3, {ui.lblDegreeSign3, ui.lblMinuteSign3}, {}},
        {ui.cboHemisphere4, ui.txtDegrees4, ui.txtMinutes4, {ui.lblDegreeSign4, ui.lblMinuteSign4}, {}},
        {ui.cboHemisphere5, ui.txtDegrees5, ui.txtMinutes5, {ui.lblDegreeSign5, ui.lblMinuteSign5}, {}},
        {ui.cboHemisphere6, ui.txtDegrees6, ui.txtMinutes6, {ui.lblDegreeSign6, ui.lblMinuteSign6}, {}},
        {ui.cboHemisphere7, ui.txtDegrees7, ui.txtMinutes7, {ui.lblDegreeSign7, ui.lblMinuteSign7}, {}},
        {ui.cboHemisphere8, ui.txtDegrees8, ui.txtMinutes8, {ui.lblDegreeSign8, ui.lblMinuteSign8}, {}},
    };
    m_pointLabels = {ui.lblPoint1, ui.lblPoint2, ui.lblPoint3, ui.lblPoint4};
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        RowWidgets &widgets = m_rows[row - 1];
        widgets.hemisphere->addItems(AreaText::hemisphereChoices(row));
        widgets.hemisphere->setCurrentIndex(-1);
        fitToMask(widgets.degrees, AreaText::degreePositions(row));
        fitToMask(widgets.minutes, 5);
        widgets.toolTips = {widgets.hemisphere->toolTip(), widgets.degrees->toolTip(),
                            widgets.minutes->toolTip()};
    }
}

UsrAreaWidget::~UsrAreaWidget() = default;

void UsrAreaWidget::bind(usrArea &area)
{
    m_area = &area;
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        const RowWidgets &widgets = m_rows.at(row - 1);
        connect(widgets.hemisphere, &QComboBox::activated, this,
                [this, row](int index) { m_area->setHemisphere(row, hemisphereBox(row)->itemText(index)); });
        connect(widgets.degrees, &QLineEdit::textEdited, this,
                [this, row] { m_area->setDegrees(row, degreesEdit(row)->displayText()); });
        connect(widgets.minutes, &QLineEdit::textEdited, this,
                [this, row] { m_area->setMinutes(row, minutesEdit(row)->displayText()); });
    }
    connect(m_area, &usrArea::changed, this, &UsrAreaWidget::refresh);
    refresh();
}

void UsrAreaWidget::refresh()
{
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        const AreaRow &values = m_area->row(row);
        const RowWidgets &widgets = m_rows.at(row - 1);
        widgets.hemisphere->setCurrentIndex(widgets.hemisphere->findText(values.hemisphere));
        showText(widgets.degrees, values.degrees);
        showText(widgets.minutes, values.minutes);
        const bool enabled = m_area->isRowEnabled(row);
        const QString unread = enabled ? m_area->unreadItem(row) : QString();
        const std::array<QWidget *, 3> fields{widgets.hemisphere, widgets.degrees, widgets.minutes};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            QWidget *field = fields[i];
            field->setEnabled(enabled);
            field->setToolTip(unread.isEmpty() ? widgets.toolTips.at(qsizetype(i))
                                               : tr("Stored as \u201c%1\u201d, which this row cannot show. "
                                                    "It is kept unless you fill in the row.")
                                                     .arg(unread));
            QPalette palette;
            if (!unread.isEmpty()) {
                // Text fields paint their ground in Base, a drop-down list in Button.
                palette.setColor(QPalette::Base, UnreadBackground);
                palette.setColor(QPalette::Button, UnreadBackground);
            }
            // A default palette resolves nothing and so gives the field its ordinary colours back.
            field->setPalette(palette);
        }
        for (QLabel *sign : widgets.signs)
            sign->setEnabled(enabled);
        if (row % 2 == 1)
            m_pointLabels.at((row - 1) / 2)->setEnabled(enabled);
    }
}
