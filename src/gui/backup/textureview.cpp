#include "gui/backup/textureview.h"

#include "backup/texturedialog.h"
#include "gui/app/guiuiport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

void registerTextureViews()
{
    GuiUiPort::registerView(
        QStringLiteral("GlobalTextureDialog"), [](FormLogic &form, QWidget *parent) -> QDialog * {
            return new GlobalTextureView(dynamic_cast<GlobalTextureDialog &>(form), parent);
        });
}

GlobalTextureView::GlobalTextureView(GlobalTextureDialog &form, QWidget *parent)
    : QDialog(parent), m_form(form)
{
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    auto *label = new QLabel(tr("Texture &backups:"), this);
    left->addWidget(label);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstBackups"));
    m_list->setMinimumSize(300, 220);
    label->setBuddy(m_list);
    left->addWidget(m_list, 1);
    layout->addLayout(left, 1);

    auto *buttons = new QVBoxLayout;
    const auto addButton = [&](const QString &name, const QString &caption,
                               void (GlobalTextureDialog::*procedure)()) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, procedure] { run(procedure); });
    };
    addButton(QStringLiteral("cmdMakeBackup"), tr("Make backup"), &GlobalTextureDialog::cmdMakeBackup_Click);
    addButton(QStringLiteral("cmdInstall"), tr("Install checked backups"),
              &GlobalTextureDialog::cmdInstall_Click);
    addButton(QStringLiteral("cmdDelete"), tr("Delete checked backups"),
              &GlobalTextureDialog::cmdDelete_Click);
    addButton(QStringLiteral("cmdEmpty"), tr("Empty global texture folder"),
              &GlobalTextureDialog::cmdEmpty_Click);
    buttons->addStretch(1);
    addButton(QStringLiteral("cmdExit"), tr("Exit"), &GlobalTextureDialog::cmdExit_Click);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!m_filling)
            m_form.lstBackups_ItemCheck(m_list->row(item), item->checkState() == Qt::Checked);
    });
    showList();
}

QPushButton *GlobalTextureView::button(const QString &name) const
{
    return findChild<QPushButton *>(name);
}

void GlobalTextureView::showList()
{
    m_filling = true;
    m_list->clear();
    for (qsizetype i = 0; i < m_form.lstBackups.size(); ++i) {
        auto *item = new QListWidgetItem(m_form.lstBackups.at(i), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(m_form.lstBackupsChecked.value(i) ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

void GlobalTextureView::run(void (GlobalTextureDialog::*procedure)())
{
    (m_form.*procedure)();
    if (!m_form.visible) {
        QDialog::done(QDialog::Accepted);
        return;
    }
    showList();
}

void GlobalTextureView::reject()
{
    m_form.cmdExit_Click();
    QDialog::reject();
}
