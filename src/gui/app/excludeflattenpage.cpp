#include "gui/app/excludeflattenpage.h"

#include "app/frmscenery.h"
#include "gui/app/fieldhelpers.h"
#include "gui/areas/areamapview.h"
#include "library/scenerymanager.h"

#include <QGridLayout>
#include <QTimer>

#include "ui_excludeflattenpage.h"

ExcludeFlattenPage::ExcludeFlattenPage(frmScenery &form, QWidget *parent)
    : QWidget(parent), m_form(form), m_ui(std::make_unique<Ui::ExcludeFlattenPage>())
{
    Ui::ExcludeFlattenPage &ui = *m_ui;
    ui.setupUi(this);
    m_flatten = {ui.txtFlatten0, ui.txtFlatten1, ui.txtFlatten2, ui.txtFlatten3, ui.txtFlatten4,
                 ui.txtFlatten5, ui.txtFlatten6, ui.txtFlatten7, ui.txtFlatten8, ui.txtFlatten9};
    const std::array<QPushButton *, 10> buttons{
        ui.cmdFlatten0, ui.cmdFlatten1, ui.cmdFlatten2, ui.cmdFlatten3, ui.cmdFlatten4,
        ui.cmdFlatten5, ui.cmdFlatten6, ui.cmdFlatten7, ui.cmdFlatten8, ui.cmdFlatten9};

    FieldHelpers::fitBrowseButton(ui.cmdExclude);
    connect(ui.txtExclude, &QLineEdit::textEdited, this,
            [&form](const QString &t) { form.txtExclude_Change(t); });
    connect(ui.cmdExclude, &QPushButton::clicked, this, [&form] { form.cmdExclude_Click(); });
    for (int i = 0; i < int(m_flatten.size()); ++i) {
        FieldHelpers::fitBrowseButton(buttons[std::size_t(i)]);
        connect(m_flatten[std::size_t(i)], &QLineEdit::textEdited, this,
                [&form, i](const QString &t) { form.txtFlatten_Change(i, t); });
        connect(buttons[std::size_t(i)], &QPushButton::clicked, this,
                [&form, i] { form.cmdFlatten_Click(i); });
    }
    m_map = new AreaMapView(this);
    if (auto *grid = qobject_cast<QGridLayout *>(layout())) {
        // The map takes the room the fields leave.
        const int row = grid->rowCount();
        for (int r = 0; r < row; ++r)
            grid->setRowStretch(r, 0);
        grid->addWidget(m_map, row, 0, 1, grid->columnCount());
        grid->setRowStretch(row, 1);
    }
    connect(m_map, &AreaMapView::sceneryClicked, this,
            [&form](const QString &key) { form.showScenery(key); });
    connect(&form.details(), &DetailsPanel::detailsChanged, this, &ExcludeFlattenPage::refresh);
    refresh();
}

ExcludeFlattenPage::~ExcludeFlattenPage() = default;

void ExcludeFlattenPage::refresh()
{
    const DetailsPanel &details = m_form.details();
    const DetailsPanel::Fields &d = details.fields();
    setEnabled(details.displayedScenery() != nullptr);
    const QColor normal = palette().color(QPalette::Text);
    FieldHelpers::setLineText(m_ui->txtExclude, d.txtExclude);
    FieldHelpers::setRedText(m_ui->txtExclude, d.txtExcludeRed, normal);
    for (std::size_t i = 0; i < m_flatten.size(); ++i) {
        FieldHelpers::setLineText(m_flatten[i], d.txtFlatten[i]);
        FieldHelpers::setRedText(m_flatten[i], d.txtFlattenRed[i], normal);
    }

    // The map takes every scenery's areas, which in a large library is far too much for each
    // selection and keystroke; a hidden page draws it when it is shown.
    m_mapStale = !isVisible();
    if (!m_mapStale)
        refreshMap();
}

void ExcludeFlattenPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_mapStale) {
        m_mapStale = false;
        refreshMap();
    }
}

void ExcludeFlattenPage::refreshMap()
{
    const DetailsPanel &details = m_form.details();
    const DetailsPanel::Fields &d = details.fields();
    // The shown scenery as its fields stand now; the others as the library holds them.
    AreaMapView::Areas shown;
    if (const SceneryPtr s = details.displayedScenery())
        shown.key = s->Key;
    shown.exclude = d.txtExclude;
    for (std::size_t i = 0; i < shown.flatten.size(); ++i)
        shown.flatten[i] = d.txtFlatten[i];
    QList<AreaMapView::Areas> others;
    for (const SceneryPtr &s : m_form.manager().colScenery) {
        AreaMapView::Areas areas{s->Key, s->Exclude, {}};
        bool any = !s->Exclude.isEmpty();
        for (qint16 i = 0; i < clsScenery::FlattenCount; ++i) {
            areas.flatten[std::size_t(i)] = s->Flatten(i);
            any = any || !areas.flatten[std::size_t(i)].isEmpty();
        }
        if (any)
            others.append(areas);
    }
    m_map->setAreas(shown, others);
    // Zoomed to a scenery when it is shown: once all of its fields have arrived.
    if (shown.key != m_mapKey)
        QTimer::singleShot(0, m_map, &AreaMapView::zoomToShown);
    m_mapKey = shown.key;
}
