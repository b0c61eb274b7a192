#include "gui/install/installviews.h"
#include "gui/app/dialogbuttons.h"

#include "gui/app/guiuiport.h"
#include "install/frmaddscenery.h"
#include "install/frminstallprogress.h"

#include "ui_frmaddscenery.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

void registerInstallViews()
{
    GuiUiPort::registerView(QStringLiteral("frmAddScenery"),
                            [](FormLogic &form, QWidget *parent) -> QDialog * {
                                return new AddSceneryView(dynamic_cast<frmAddScenery &>(form), parent);
                            });
    GuiUiPort::registerView(
        QStringLiteral("frmInstallProgress"), [](FormLogic &form, QWidget *parent) -> QDialog * {
            return new InstallProgressView(dynamic_cast<frmInstallProgress &>(form), parent);
        });
}

// ---- AddSceneryView --------------------------------------------------------------------------

AddSceneryView::AddSceneryView(frmAddScenery &form, QWidget *parent)
    : QDialog(parent), m_form(form), m_ui(std::make_unique<Ui::frmAddScenery>())
{
    m_ui->setupUi(this);
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const OkCancelButtons buttons =
        completeOkCancelButtons(m_ui->buttonBox, QStringLiteral("cmdOK"), tr("Cancel"));
    m_ui->lvwContent->header()->setStretchLastSection(true);
    m_ui->lvwContent->setColumnWidth(0, 220);
    resize(640, sizeHint().height());

    const auto edited = [this](QLineEdit *edit, QString &field) {
        connect(edit, &QLineEdit::textEdited, this, [&field](const QString &text) { field = text; });
    };
    edited(m_ui->txtTitle, m_form.txtTitle);
    edited(m_ui->txtSceneryPath, m_form.txtSceneryPath);
    edited(m_ui->txtSourcePath, m_form.txtSourcePath);
    edited(m_ui->txtDestPath, m_form.txtDestPath);
    edited(m_ui->txtZipSource, m_form.txtZipSource);
    edited(m_ui->txtZipDest, m_form.txtZipDest);
    connect(m_ui->txtZipSource, &QLineEdit::editingFinished, this, [this] {
        if (m_ui->txtZipSource->isModified()) {
            m_ui->txtZipSource->setModified(false);
            m_form.FillContentList();
            afterLogic();
        }
    });
    connect(m_ui->txtSceneryExt, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_form.txtSceneryExt_Change(text); });
    connect(m_ui->txtTextureExt, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_form.txtTextureExt_Change(text); });

    QRadioButton *ways[] = {m_ui->optWay0, m_ui->optWay1, m_ui->optWay2};
    for (int i = 0; i < 3; ++i) {
        connect(ways[i], &QRadioButton::clicked, this, [this, i] {
            m_form.optWay_Click(i);
            afterLogic();
        });
    }
    QRadioButton *modes[] = {m_ui->optMode0, m_ui->optMode1, m_ui->optMode2};
    for (int i = 0; i < 3; ++i) {
        connect(modes[i], &QRadioButton::clicked, this, [this, i] {
            m_form.optMode_Click(i);
            afterLogic();
        });
    }
    connect(m_ui->chkSubZips, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_refreshing)
            m_form.chkSubZips = on;
    });
    QToolButton *browse[] = {m_ui->cmdBrowse0, m_ui->cmdBrowse1, m_ui->cmdBrowse2, m_ui->cmdBrowse3,
                             m_ui->cmdBrowse4};
    for (int i = 0; i < 5; ++i) {
        connect(browse[i], &QToolButton::clicked, this, [this, i] {
            m_form.cmdBrowse_Click(i);
            afterLogic();
        });
    }
    connect(m_ui->cmdAirport, &QToolButton::clicked, this, [this] {
        m_form.cmdAirport_Click();
        afterLogic();
    });
    connect(m_ui->lvwContent, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (!m_refreshing)
            m_form.lvwContentIndex = item ? m_ui->lvwContent->indexOfTopLevelItem(item) : -1;
    });
    connect(m_ui->lvwContent, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        m_form.lvwContentIndex = m_ui->lvwContent->indexOfTopLevelItem(item);
        m_form.lvwContent_DblClick();
        afterLogic();
    });
    connect(buttons.ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOK_Click();
        afterLogic();
    });
    connect(buttons.cancel, &QPushButton::clicked, this, &AddSceneryView::reject);
    refresh();
}

AddSceneryView::~AddSceneryView() = default;

void AddSceneryView::refresh()
{
    m_refreshing = true;
    const auto show = [](QLineEdit *edit, const QString &text) {
        if (edit->text() != text)
            edit->setText(text);
    };
    show(m_ui->txtTitle, m_form.txtTitle);
    show(m_ui->txtSceneryPath, m_form.txtSceneryPath);
    show(m_ui->txtSourcePath, m_form.txtSourcePath);
    show(m_ui->txtDestPath, m_form.txtDestPath);
    show(m_ui->txtZipSource, m_form.txtZipSource);
    show(m_ui->txtZipDest, m_form.txtZipDest);
    show(m_ui->txtSceneryExt, m_form.txtSceneryExt);
    show(m_ui->txtTextureExt, m_form.txtTextureExt);
    QRadioButton *ways[] = {m_ui->optWay0, m_ui->optWay1, m_ui->optWay2};
    QGroupBox *frames[] = {m_ui->fraWay0, m_ui->fraWay1, m_ui->fraWay2};
    for (int i = 0; i < 3; ++i) {
        ways[i]->setChecked(m_form.optWay == i);
        frames[i]->setEnabled(m_form.fraWayEnabled(i));
    }
    QRadioButton *modes[] = {m_ui->optMode0, m_ui->optMode1, m_ui->optMode2};
    for (int i = 0; i < 3; ++i)
        modes[i]->setChecked(m_form.optMode == i);
    m_ui->chkSubZips->setEnabled(m_form.chkSubZipsEnabled());
    m_ui->chkSubZips->setChecked(m_form.chkSubZips);
    m_ui->cmdAirport->setEnabled(m_form.cmdAirportEnabled());
    if (m_ui->lvwContent->topLevelItemCount() != m_form.lvwContent.size() ||
        (m_form.lvwContent.size() > 0 &&
         m_ui->lvwContent->topLevelItem(0)->text(0) != m_form.lvwContent.constFirst().fileName)) {
        m_ui->lvwContent->clear();
        for (const ContentRow &row : std::as_const(m_form.lvwContent))
            m_ui->lvwContent->addTopLevelItem(new QTreeWidgetItem(QStringList{row.fileName, row.folderPath}));
    }
    m_refreshing = false;
}

void AddSceneryView::afterLogic()
{
    refresh();
    // The logic hides itself on OK; the window follows.
    if (!m_form.visible)
        QDialog::done(QDialog::Accepted);
}

void AddSceneryView::reject()
{
    m_form.cmdCancel_Click();
    QDialog::reject();
}

// ---- InstallProgressView -------------------------------------------------------------------

InstallProgressView::InstallProgressView(frmInstallProgress &form, QWidget *parent)
    : QDialog(parent), m_form(form)
{
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("lblFile"));
    m_file->setMinimumWidth(420);
    m_file->setTextFormat(Qt::PlainText);
    layout->addWidget(m_file);
    // How many files a zip file holds is known only as it is extracted: the bar shows activity.
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 0);
    layout->addWidget(m_bar);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_cancel);
    layout->addLayout(row);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_form.cmdCancel_Click(); });
    m_form.changed = [this] { refresh(); };
    refresh();
}

void InstallProgressView::refresh()
{
    m_file->setText(m_form.lblFile.isEmpty()
                        ? tr("Preparing...")
                        : m_file->fontMetrics().elidedText(m_form.lblFile, Qt::ElideMiddle, m_file->width()));
    m_cancel->setEnabled(m_form.cmdCancelEnabled);
    if (!m_form.visible) {
        m_form.changed = nullptr;
        QDialog::done(QDialog::Accepted);
    }
}

void InstallProgressView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    QTimer::singleShot(0, this, [this] { m_form.run(); });
}

void InstallProgressView::reject()
{
    // Closing the window stops the installation; the window goes when it has stopped.
    if (m_form.visible)
        m_form.cmdCancel_Click();
    else
        QDialog::reject();
}
