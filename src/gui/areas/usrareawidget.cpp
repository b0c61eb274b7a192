#include "gui/areas/usrareawidget.h"

#include "areas/usrarea.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <array>

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

QLabel *unitLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
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
}

UsrAreaWidget::UsrAreaWidget(usrArea &area, QWidget *parent) : QWidget(parent), m_area(area)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setColumnMinimumWidth(6, 18);

    auto *latitudeHeader = new QLabel(tr("Latitude"), this);
    auto *longitudeHeader = new QLabel(tr("Longitude"), this);
    grid->addWidget(latitudeHeader, 0, 1, 1, 5);
    grid->addWidget(longitudeHeader, 0, 7, 1, 5);

    const QString degreeSign = QString(QChar(0x00B0));
    const QString minuteSign = QStringLiteral("'");
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        const int point = (row + 1) / 2;
        const bool latitude = AreaText::rowKind(row) == CoordinateKind::Latitude;
        const int gridRow = point;
        const int column = latitude ? 1 : 7;
        if (latitude) {
            auto *label = new QLabel(tr("Point %1:").arg(point), this);
            grid->addWidget(label, gridRow, 0);
            m_pointLabels.append(label);
        }

        RowWidgets widgets;
        widgets.hemisphere = new QComboBox(this);
        widgets.hemisphere->setObjectName(QStringLiteral("cboHemisphere%1").arg(row));
        widgets.hemisphere->addItems(AreaText::hemisphereChoices(row));
        widgets.hemisphere->setCurrentIndex(-1);
        widgets.hemisphere->setToolTip(latitude ? tr("North or south") : tr("East or west"));

        const int positions = AreaText::degreePositions(row);
        widgets.degrees = new QLineEdit(this);
        widgets.degrees->setObjectName(QStringLiteral("txtDegrees%1").arg(row));
        widgets.degrees->setInputMask(QString(positions, QLatin1Char('9')) + QLatin1Char(';') + MaskBlank);
        widgets.degrees->setToolTip(latitude ? tr("Degrees, 0 to 90") : tr("Degrees, 0 to 180"));
        fitToMask(widgets.degrees, positions);

        widgets.minutes = new QLineEdit(this);
        widgets.minutes->setObjectName(QStringLiteral("txtMinutes%1").arg(row));
        widgets.minutes->setInputMask(QStringLiteral("99.99;") + MaskBlank);
        widgets.minutes->setToolTip(tr("Minutes, 00.00 to 59.99"));
        fitToMask(widgets.minutes, 5);

        QLabel *degreeLabel = unitLabel(degreeSign, this);
        QLabel *minuteLabel = unitLabel(minuteSign, this);
        widgets.decorations = {degreeLabel, minuteLabel};

        grid->addWidget(widgets.hemisphere, gridRow, column);
        grid->addWidget(widgets.degrees, gridRow, column + 1);
        grid->addWidget(degreeLabel, gridRow, column + 2);
        grid->addWidget(widgets.minutes, gridRow, column + 3);
        grid->addWidget(minuteLabel, gridRow, column + 4);

        connect(widgets.hemisphere, &QComboBox::activated, this, [this, row](int index) {
            m_area.setHemisphere(row, hemisphereBox(row)->itemText(index));
        });
        connect(widgets.degrees, &QLineEdit::textEdited, this,
                [this, row] { m_area.setDegrees(row, degreesEdit(row)->displayText()); });
        connect(widgets.minutes, &QLineEdit::textEdited, this,
                [this, row] { m_area.setMinutes(row, minutesEdit(row)->displayText()); });
        widgets.toolTips = {widgets.hemisphere->toolTip(), widgets.degrees->toolTip(),
                            widgets.minutes->toolTip()};
        m_rows.append(widgets);
    }
    grid->setColumnStretch(12, 1);

    // Tab goes along a point: latitude fields, then longitude fields.
    QWidget *previous = nullptr;
    for (const RowWidgets &widgets : std::as_const(m_rows)) {
        for (QWidget *w : {static_cast<QWidget *>(widgets.hemisphere), static_cast<QWidget *>(widgets.degrees),
                           static_cast<QWidget *>(widgets.minutes)}) {
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    }

    connect(&m_area, &usrArea::changed, this, &UsrAreaWidget::refresh);
    refresh();
}

void UsrAreaWidget::refresh()
{
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        const AreaRow &values = m_area.row(row);
        const RowWidgets &widgets = m_rows.at(row - 1);
        widgets.hemisphere->setCurrentIndex(widgets.hemisphere->findText(values.hemisphere));
        showText(widgets.degrees, values.degrees);
        showText(widgets.minutes, values.minutes);
        const bool enabled = m_area.isRowEnabled(row);
        const QString unread = enabled ? m_area.unreadItem(row) : QString();
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
        for (QWidget *w : widgets.decorations)
            w->setEnabled(enabled);
        if (row % 2 == 1)
            m_pointLabels.at((row - 1) / 2)->setEnabled(enabled);
    }
}
