#pragma once

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class usrArea;

// The area editor's view: four points, each a latitude row and a longitude row with the
// hemisphere, the degrees and the minutes. Edits go straight into the usrArea; changes of the
// usrArea (loading, mode) are shown back.
class UsrAreaWidget : public QWidget
{
    Q_OBJECT

public:
    explicit UsrAreaWidget(usrArea &area, QWidget *parent = nullptr);

    // Row 1 to 8, as in usrArea. A row holding a stored item it cannot show is marked: its fields
    // are tinted and their tooltip names the item.
    QComboBox *hemisphereBox(int row) const { return m_rows.at(row - 1).hemisphere; }
    QLineEdit *degreesEdit(int row) const { return m_rows.at(row - 1).degrees; }
    QLineEdit *minutesEdit(int row) const { return m_rows.at(row - 1).minutes; }

private:
    struct RowWidgets
    {
        QComboBox *hemisphere = nullptr;
        QLineEdit *degrees = nullptr;
        QLineEdit *minutes = nullptr;
        QList<QWidget *> decorations;
        QStringList toolTips; // of the three fields, while the row shows its own value
    };

    void refresh();

    usrArea &m_area;
    QList<RowWidgets> m_rows;
    QList<QLabel *> m_pointLabels;
};
