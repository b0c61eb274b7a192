#pragma once

#include <QWidget>

#include <array>
#include <memory>

class AreaMapView;
class frmScenery;
class QLineEdit;
namespace Ui {
class ExcludeFlattenPage;
}

// The "Exclude / Flatten" page of the main window (excludeflattenpage.ui): the displayed
// scenery's exclusion rectangle and ten flattening areas, typed or set with their editors. A text
// that is no area is kept and shown in red. Below them a map shows the areas, the other
// sceneries' faint; a click on one of theirs shows that scenery.
class ExcludeFlattenPage : public QWidget
{
    Q_OBJECT
public:
    explicit ExcludeFlattenPage(frmScenery &form, QWidget *parent = nullptr);
    ~ExcludeFlattenPage() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void refreshMap();

    frmScenery &m_form;
    std::unique_ptr<Ui::ExcludeFlattenPage> m_ui;
    std::array<QLineEdit *, 10> m_flatten{};
    AreaMapView *m_map = nullptr;
    QString m_mapKey;        // the scenery the map was last zoomed to
    bool m_mapStale = false; // the details changed while the page was hidden
};
