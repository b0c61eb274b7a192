#include "gui/backup/backupviews.h"
#include "gui/app/dialogbuttons.h"

#include "backup/backupdialogs.h"
#include "gui/app/guiuiport.h"

#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

void registerBackupViews()
{
    GuiUiPort::registerView(
        QStringLiteral("InstallBackupDialog"), [](FormLogic &form, QWidget *parent) -> QDialog * {
            return new BackupPickerView(dynamic_cast<InstallBackupDialog &>(form), parent);
        });
    GuiUiPort::registerView(QStringLiteral("DeleteBackupDialog"),
                            [](FormLogic &form, QWidget *parent) -> QDialog * {
                                return new BackupPickerView(dynamic_cast<DeleteBackupDialog &>(form), parent);
                            });
    GuiUiPort::registerView(
        QStringLiteral("BackupFileListDialog"), [](FormLogic &form, QWidget *parent) -> QDialog * {
            return new BackupFileListView(dynamic_cast<BackupFileListDialog &>(form), parent);
        });
}

// ---- BackupPickerView ----------------------------------------------------------------------

BackupPickerView::BackupPickerView(InstallBackupDialog &form, QWidget *parent)
    : BackupPickerView(Binding{form.caption(), form.cboBackups, form.cboBackupsIndex, form.visible,
                               [&form] { form.cmdOK_Click(); }, [&form] { form.cmdCancel_Click(); },
                               [&form] { form.cboBackups_DblClick(); }},
                       parent)
{}

BackupPickerView::BackupPickerView(DeleteBackupDialog &form, QWidget *parent)
    : BackupPickerView(Binding{form.caption(), form.cboBackups, form.cboBackupsIndex, form.visible,
                               [&form] { form.cmdOK_Click(); }, [&form] { form.cmdCancel_Click(); },
                               [&form] { form.cboBackups_DblClick(); }},
                       parent)
{}

BackupPickerView::BackupPickerView(const Binding &binding, QWidget *parent)
    : QDialog(parent), m_index(binding.index), m_visible(binding.visible), m_okHandler(binding.ok),
      m_cancelHandler(binding.cancel)
{
    setWindowTitle(binding.caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("&Backups:"), this);
    layout->addWidget(label);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("cboBackups"));
    m_list->addItems(binding.entries);
    m_list->setMinimumSize(320, 180);
    label->setBuddy(m_list);
    layout->addWidget(m_list, 1);
    if (m_index >= 0 && m_index < m_list->count())
        m_list->setCurrentRow(m_index);

    const OkCancelButtons buttons = makeOkCancelButtons(this, QStringLiteral("cmdOK"), tr("&Cancel"));
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    layout->addWidget(buttons.box);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_index = row; });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_okHandler();
        afterLogic();
    });
    connect(m_cancel, &QPushButton::clicked, this, &BackupPickerView::reject);
    const std::function<void()> doubleClick = binding.doubleClick;
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this, doubleClick](QListWidgetItem *item) {
        m_index = m_list->row(item);
        doubleClick();
        afterLogic();
    });
}

void BackupPickerView::afterLogic()
{
    // The logic hides itself on OK; the window follows.
    if (!m_visible)
        QDialog::done(QDialog::Accepted);
}

void BackupPickerView::reject()
{
    // Escape and the window's close button are Cancel.
    m_cancelHandler();
    QDialog::reject();
}

// ---- BackupFileListView --------------------------------------------------------------------

BackupFileListView::BackupFileListView(BackupFileListDialog &form, QWidget *parent)
    : QDialog(parent), m_form(form)
{
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtList"));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The file keeps CR LF; the editor works with bare line feeds and the logic restores them.
    m_text->setPlainText(QString(form.txtList).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_text->setMinimumSize(480, 300);
    layout->addWidget(m_text, 1);

    // The list's text takes Enter as a new line.
    const OkCancelButtons buttons = makeOkCancelButtons(this, QStringLiteral("cmdOK"), tr("&Cancel"), false);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    layout->addWidget(buttons.box);

    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.txtList = m_text->toPlainText();
        m_form.cmdOK_Click();
        if (!m_form.visible)
            QDialog::done(QDialog::Accepted);
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void BackupFileListView::reject()
{
    m_form.cmdCancel_Click();
    QDialog::reject();
}
