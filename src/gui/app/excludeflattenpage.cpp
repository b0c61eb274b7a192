#include "gui/app/excludeflattenpage.h"

#include "app/frmscenery.h"
#include "gui/app/fieldhelpers.h"

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
}
