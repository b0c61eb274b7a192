#pragma once

#include <QList>
#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class usrArea;
namespace Ui {
class UsrAreaWidget;
}

// The area editor's view (usrareawidget.ui): four points, each a latitude row and a longitude row
// with the hemisphere, the degrees and the minutes. Bound to a usrArea, edits go straight into it
// and its changes (loading, mode) are shown back. Forms place it as a promoted widget and bind it.
class UsrAreaWidget : public QWidget
{
    Q_OBJECT

public:
    explicit UsrAreaWidget(QWidget *parent = nullptr);
    ~UsrAreaWidget() override;

    void bind(usrArea &area);

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
        std::array<QLabel *, 2> signs{}; // the degree and minute signs
        QStringList toolTips;            // of the three fields, while the row shows its own value
    };

    void refresh();

    std::unique_ptr<Ui::UsrAreaWidget> m_ui;
    usrArea *m_area = nullptr;
    QList<RowWidgets> m_rows;
    QList<QLabel *> m_pointLabels;
};
