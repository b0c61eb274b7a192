#include "gui/app/filelistpage.h"

#include "app/frmaddfile.h"
#include "app/frmscenery.h"
#include "gui/app/dialogbuttons.h"
#include "gui/app/guiuiport.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// "Add a file to the file list": the fields of one entry and a browse button for its source.
class AddFileDialog : public QDialog
{
public:
    AddFileDialog(frmAddFile &form, QWidget *parent) : QDialog(parent), m_form(form)
    {
        setObjectName(form.formName());
        setWindowTitle(frmAddFile::caption());
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);

        auto *layout = new QVBoxLayout(this);
        auto *fields = new QFormLayout;
        m_file = new QLineEdit(form.txtFile, this);
        m_file->setObjectName(QStringLiteral("txtFile"));
        fields->addRow(tr("&File:"), m_file);

        auto *destination = new QHBoxLayout;
        m_root = new QComboBox(this);
        m_root->setObjectName(QStringLiteral("cboRoot"));
        m_root->addItems(frmAddFile::Roots);
        m_root->setCurrentIndex(form.cboRoot);
        m_destination = new QLineEdit(form.txtDestination, this);
        m_destination->setObjectName(QStringLiteral("txtDestination"));
        destination->addWidget(m_root);
        destination->addWidget(m_destination, 1);
        auto *destinationLabel = new QLabel(tr("&Destination:"), this);
        destinationLabel->setBuddy(m_root);
        fields->addRow(destinationLabel, destination);

        auto *source = new QHBoxLayout;
        m_source = new QLineEdit(form.txtSource, this);
        m_source->setObjectName(QStringLiteral("txtSource"));
        auto *browse = new QPushButton(tr("..."), this);
        browse->setObjectName(QStringLiteral("cmdBrowse"));
        browse->setToolTip(tr("Choose the file"));
        browse->setAutoDefault(false);
        source->addWidget(m_source, 1);
        source->addWidget(browse);
        auto *sourceLabel = new QLabel(tr("&Source:"), this);
        sourceLabel->setBuddy(m_source);
        fields->addRow(sourceLabel, source);
        layout->addLayout(fields);

        const OkCancelButtons buttons =
            makeOkCancelButtons(this, QStringLiteral("cmdOk"), frmAddFile::cmdCancelCaption());
        buttons.cancel->setAutoDefault(false);
        layout->addWidget(buttons.box);

        connect(m_file, &QLineEdit::textEdited, this, [this](const QString &t) { m_form.txtFile = t; });
        connect(m_root, &QComboBox::activated, this, [this](int index) { m_form.cboRoot = index; });
        connect(m_destination, &QLineEdit::textEdited, this,
                [this](const QString &t) { m_form.txtDestination = t; });
        connect(m_source, &QLineEdit::textEdited, this, [this](const QString &t) { m_form.txtSource = t; });
        connect(browse, &QPushButton::clicked, this, [this] {
            m_form.cmdBrowse_Click();
            m_file->setText(m_form.txtFile);
            m_source->setText(m_form.txtSource);
        });
        connect(buttons.ok, &QPushButton::clicked, this, [this] {
            m_form.cmdOk_Click();
            if (!m_form.visible)
                QDialog::done(QDialog::Accepted);
        });
        connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
        resize(560, sizeHint().height());
    }

    void reject() override
    {
        // Escape and the window's close button are Cancel.
        m_form.cmdCancel_Click();
        QDialog::reject();
    }

private:
    frmAddFile &m_form;
    QLineEdit *m_file = nullptr;
    QComboBox *m_root = nullptr;
    QLineEdit *m_destination = nullptr;
    QLineEdit *m_source = nullptr;
};

} // namespace

void registerFileListViews()
{
    GuiUiPort::registerView(QStringLiteral("frmAddFile"), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new AddFileDialog(dynamic_cast<frmAddFile &>(form), parent);
    });
}

FileListPage::FileListPage(frmScenery &form, QWidget *parent) : QWidget(parent), m_form(form)
{
    setObjectName(QStringLiteral("fraFileList"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvwFileList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels(
        {QStringLiteral("File"), QStringLiteral("Destination"), QStringLiteral("Source")});
    m_list->header()->setStretchLastSection(true);
    layout->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    m_create = button("cmdCreateFileList", QStringLiteral("Create Filelist"));
    m_add = button("cmdAddFile", QStringLiteral("Add File"));
    m_edit = button("cmdEditFile", QStringLiteral("Edit File"));
    m_remove = button("cmdRemoveFile", QStringLiteral("Remove File"));
    m_open = button("cmdOpen", QStringLiteral("Open"));
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(m_create, &QPushButton::clicked, this, [this] { m_form.mnuCreateInfoFile_Click(); });
    connect(m_add, &QPushButton::clicked, this, [this] { m_form.cmdAddFile_Click(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { m_form.cmdEditFile_Click(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { m_form.cmdRemoveFile_Click(); });
    connect(m_open, &QPushButton::clicked, this, [this] { m_form.cmdOpen_Click(); });
    // Focus alone makes an item current without selecting it; what counts is the selection.
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
        m_form.lvwFileList_Click(selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.first()));
    });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { m_form.cmdEditFile_Click(); });
    connect(&m_form.fileList(), &FileListPanel::fileListChanged, this, &FileListPage::refresh);
    refresh();
}

void FileListPage::refresh()
{
    const FileListPanel &panel = m_form.fileList();
    {
        const QSignalBlocker blocker(m_list);
        const FileList &entries = panel.lvwFileList();
        bool same = m_list->topLevelItemCount() == entries.size();
        for (int i = 0; same && i < entries.size(); ++i) {
            const QTreeWidgetItem *item = m_list->topLevelItem(i);
            same = item->text(0) == entries[i].File && item->text(1) == entries[i].Destination &&
                   item->text(2) == entries[i].Source;
        }
        if (!same) {
            m_list->clear();
            QList<QTreeWidgetItem *> items;
            for (const FileListEntry &entry : entries)
                items << new QTreeWidgetItem(QStringList{entry.File, entry.Destination, entry.Source});
            m_list->addTopLevelItems(items);
            m_list->resizeColumnToContents(0);
            m_list->resizeColumnToContents(1);
        }
        if (panel.selectedIndex() >= 0)
            m_list->setCurrentItem(m_list->topLevelItem(panel.selectedIndex()));
        else
            m_list->clearSelection();
    }
    const FileListPanel::Buttons enabled = panel.buttons();
    m_create->setEnabled(enabled.create);
    m_add->setEnabled(enabled.add);
    m_edit->setEnabled(enabled.edit);
    m_remove->setEnabled(enabled.remove);
    m_open->setEnabled(enabled.open);
}
