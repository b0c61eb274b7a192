#include "gui/sims/simtypeview.h"

#include "gui/app/guiuiport.h"
#include "sims/frmsimtype.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

void registerSimsViews()
{
    GuiUiPort::registerView(QStringLiteral("frmSimType"), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new SimTypeView(dynamic_cast<frmSimType &>(form), parent);
    });
}

SimTypeView::SimTypeView(frmSimType &form, QWidget *parent) : QDialog(parent), m_form(form)
{
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto *group = new QGroupBox(tr("Simulator"), this);
    auto *groupLayout = new QVBoxLayout(group);
    auto *buttons = new QButtonGroup(this);
    for (int i = 0; i < int(m_options.size()); ++i) {
        auto *option = new QRadioButton(frmSimType::optionCaption(i), group);
        option->setObjectName(QStringLiteral("optSimType%1").arg(i));
        option->setEnabled(form.optSimTypeEnabled[std::size_t(i)]);
        option->setChecked(form.optSimType[std::size_t(i)]);
        buttons->addButton(option, i);
        groupLayout->addWidget(option);
        m_options[std::size_t(i)] = option;
    }
    layout->addWidget(group);

    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    m_ok = box->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    layout->addWidget(box);

    connect(buttons, &QButtonGroup::idClicked, this, [this](int id) { m_form.optSimType_Click(id); });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOK_Click();
        QDialog::done(QDialog::Accepted);
    });
}

void SimTypeView::reject()
{
    m_form.Form_Close();
    QDialog::reject();
}
