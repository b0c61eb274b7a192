#include "gui/tools/toolviews.h"

#include "app/frmsplash.h"
#include "gui/app/dialogbuttons.h"
#include "gui/app/fieldhelpers.h"
#include "gui/app/guiuiport.h"
#include "gui/app/toolbaricons.h"
#include "settings/frmhotkeys.h"
#include "tools/frmcache.h"
#include "tools/frmpref.h"
#include "ui_cachedialog.h"
#include "ui_prefdialog.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

void registerToolViews()
{
    GuiUiPort::registerView(QStringLiteral("frmPref"), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new PrefView(dynamic_cast<frmPref &>(form), parent);
    });
    GuiUiPort::registerView(QStringLiteral("frmHotkeys"), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new HotkeysView(dynamic_cast<frmHotkeys &>(form), parent);
    });
    GuiUiPort::registerView(QStringLiteral("frmCache"), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new CacheView(dynamic_cast<frmCache &>(form), parent);
    });
    GuiUiPort::registerView(QStringLiteral("frmSplash"), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new AboutView(dynamic_cast<frmSplash &>(form), parent);
    });
}

bool DesktopLauncher::openWithDesktop(const QUrl &address)
{
    return address.isValid() && QDesktopServices::openUrl(address);
}

// ---- PrefView ------------------------------------------------------------------------------

PrefView::PrefView(frmPref &form, QWidget *parent)
    : QDialog(parent), m_form(form), m_ui(std::make_unique<Ui::PrefDialog>())
{
    m_ui->setupUi(this);
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const OkCancelButtons buttons =
        completeOkCancelButtons(m_ui->buttons, QStringLiteral("cmdOK"), tr("Cancel"));
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    // The four groups' labels share one width, so the fields line up down the whole dialog.
    const QList<QLabel *> labels = findChildren<QLabel *>();
    int labelWidth = 0;
    for (const QLabel *label : labels)
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QLabel *label : labels)
        label->setMinimumWidth(labelWidth);
    for (QPushButton *button : findChildren<QPushButton *>()) {
        if (button->text() == QStringLiteral("..."))
            FieldHelpers::fitBrowseButton(button);
    }

    bindField(m_ui->txtBRP, form.txtBRP);
    bindField(m_ui->txtTBRP, form.txtTBRP);
    bindField(m_ui->txtFS2000, form.txtFS2000);
    bindField(m_ui->txtFS2002, form.txtFS2002);
    bindField(m_ui->txtCFS2, form.txtCFS2);
    bindField(m_ui->txtBrowser, form.txtBrowser);
    bindField(m_ui->txtDoc, form.txtDoc);
    bindField(m_ui->txtHomePage, form.txtHomePage);
    bindField(m_ui->txtForum, form.txtForum);
    bindChooser(m_ui->cmdSelectBackupPath, [this] { m_form.cmdSelectBackupPath_Click(); });
    bindChooser(m_ui->cmdTextureRoot, [this] { m_form.cmdTextureRoot_Click(); });
    bindChooser(m_ui->cmdFS2000Root, [this] { m_form.cmdFS2000Root_Click(); });
    bindChooser(m_ui->cmdFS2002root, [this] { m_form.cmdFS2002root_Click(); });
    bindChooser(m_ui->cmdCFS2root, [this] { m_form.cmdCFS2root_Click(); });
    bindChooser(m_ui->cmdSelectBrowser, [this] { m_form.cmdSelectBrowser_Click(); });
    bindChooser(m_ui->cmdDoc, [this] { m_form.cmdDoc_Click(); });
    m_ui->cmdSelectBackupPath->setToolTip(tr("Choose the folder of the backups"));
    m_ui->cmdTextureRoot->setToolTip(tr("Choose the folder of the texture backups"));
    m_ui->cmdSelectBrowser->setToolTip(tr("Choose the browser program"));
    m_ui->cmdDoc->setToolTip(tr("Choose the start page of the documentation"));
    for (QPushButton *button : {m_ui->cmdFS2000Root, m_ui->cmdFS2002root, m_ui->cmdCFS2root})
        button->setToolTip(tr("Choose the simulator's program file"));

    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOk_Click();
        if (!m_form.visible)
            QDialog::done(QDialog::Accepted);
    });
    connect(m_cancel, &QPushButton::clicked, this, &PrefView::reject);
    refresh();
}

PrefView::~PrefView() = default;

QLineEdit *PrefView::field(const char *name) const
{
    return findChild<QLineEdit *>(QString::fromLatin1(name));
}

void PrefView::bindField(QLineEdit *edit, QString &text)
{
    connect(edit, &QLineEdit::textEdited, this, [&text](const QString &typed) { text = typed; });
}

void PrefView::bindChooser(QPushButton *button, const std::function<void()> &procedure)
{
    connect(button, &QPushButton::clicked, this, [this, procedure] {
        procedure();
        refresh();
    });
}

void PrefView::refresh()
{
    FieldHelpers::setLineText(m_ui->txtBRP, m_form.txtBRP);
    FieldHelpers::setLineText(m_ui->txtTBRP, m_form.txtTBRP);
    FieldHelpers::setLineText(m_ui->txtBrowser, m_form.txtBrowser);
    FieldHelpers::setLineText(m_ui->txtDoc, m_form.txtDoc);
    FieldHelpers::setLineText(m_ui->txtHomePage, m_form.txtHomePage);
    FieldHelpers::setLineText(m_ui->txtForum, m_form.txtForum);
    const std::array<QLineEdit *, 3> simulators{m_ui->txtFS2000, m_ui->txtFS2002, m_ui->txtCFS2};
    for (int sim = 0; sim < 3; ++sim) {
        QLineEdit *edit = simulators[std::size_t(sim)];
        FieldHelpers::setLineText(edit, m_form.simulatorField(sim));
        // A simulator that is not installed can still be given its folder through the chooser.
        edit->setEnabled(m_form.simulatorFieldEnabled(sim) || !m_form.simulatorField(sim).isEmpty());
        edit->setPlaceholderText(m_form.simulatorFieldEnabled(sim) ? QString() : tr("not installed"));
    }
}

void PrefView::reject()
{
    m_form.cmdCancel_Click();
    QDialog::reject();
}

// ---- HotkeysView ---------------------------------------------------------------------------

HotkeysView::HotkeysView(frmHotkeys &form, QWidget *parent) : QDialog(parent), m_form(form)
{
    setObjectName(QStringLiteral("frmHotkeys"));
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);
    // Two columns of six keys keep the dialog compact; F1 to F6 on the left.
    constexpr int Rows = frmHotkeys::KeyCount / 2;
    for (int k = 0; k < frmHotkeys::KeyCount; ++k) {
        auto *label = new QLabel(QStringLiteral("F%1").arg(k + 1), this);
        label->setObjectName(QStringLiteral("lblHotkey%1").arg(k));
        auto *list = new QComboBox(this);
        list->setObjectName(QStringLiteral("cboHotkey%1").arg(k));
        list->addItems(form.cboHotkeyList);
        list->setMaxVisibleItems(20);
        list->setMinimumContentsLength(26);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setCurrentIndex(form.cboHotkey[std::size_t(k)]);
        label->setBuddy(list);
        const int row = k % Rows;
        const int column = (k / Rows) * 3;
        grid->addWidget(label, row, column, Qt::AlignRight);
        grid->addWidget(list, row, column + 1);
        m_lists[std::size_t(k)] = list;
        connect(list, &QComboBox::activated, this,
                [this, k](int index) { m_form.cboHotkey_Click(k, index); });
    }
    grid->setColumnMinimumWidth(2, 18);
    layout->addLayout(grid);

    const OkCancelButtons buttons = makeOkCancelButtons(this, QStringLiteral("cmdOK"), tr("&Cancel"));
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    layout->addSpacing(6);
    layout->addWidget(buttons.box);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOk_Click();
        if (!m_form.visible)
            QDialog::done(QDialog::Accepted);
    });
    connect(m_cancel, &QPushButton::clicked, this, &HotkeysView::reject);
}

void HotkeysView::reject()
{
    m_form.cmdCancel_Click();
    QDialog::reject();
}

// ---- CacheView -----------------------------------------------------------------------------

CacheView::CacheView(frmCache &form, QWidget *parent)
    : QDialog(parent), m_form(form), m_ui(std::make_unique<Ui::CacheDialog>())
{
    m_ui->setupUi(this);
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ui->cmdDown->setText(frmCache::cmdDownCaption());
    m_ui->cmdUp->setText(frmCache::cmdUpCaption());
    m_ok = m_ui->buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_ui->txtLayer->setAlignment(Qt::AlignCenter);

    connect(m_ui->txtTitle, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_refreshing)
            m_form.txtTitle_Change(text);
    });
    connect(m_ui->txtLocal, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_refreshing)
            m_form.txtLocal_Change(text);
    });
    connect(m_ui->txtRemote, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_refreshing)
            m_form.txtRemote_Change(text);
    });
    connect(m_ui->chkActive, &QCheckBox::clicked, this,
            [this](bool checked) { m_form.chkActive_Click(checked); });
    connect(m_ui->cmdUp, &QPushButton::clicked, this, [this] {
        m_form.cmdUp_Click();
        refresh();
    });
    connect(m_ui->cmdDown, &QPushButton::clicked, this, [this] {
        m_form.cmdDown_Click();
        refresh();
    });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOk_Click();
        QDialog::done(QDialog::Accepted);
    });
    refresh();
}

CacheView::~CacheView() = default;

QLineEdit *CacheView::titleField() const
{
    return m_ui->txtTitle;
}
QLineEdit *CacheView::localField() const
{
    return m_ui->txtLocal;
}
QLineEdit *CacheView::remoteField() const
{
    return m_ui->txtRemote;
}
QLineEdit *CacheView::layerField() const
{
    return m_ui->txtLayer;
}
QCheckBox *CacheView::activeBox() const
{
    return m_ui->chkActive;
}
QPushButton *CacheView::upButton() const
{
    return m_ui->cmdUp;
}
QPushButton *CacheView::downButton() const
{
    return m_ui->cmdDown;
}

void CacheView::refresh()
{
    m_refreshing = true;
    FieldHelpers::setLineText(m_ui->txtTitle, m_form.txtTitle);
    FieldHelpers::setLineText(m_ui->txtLocal, m_form.txtLocal);
    FieldHelpers::setLineText(m_ui->txtRemote, m_form.txtRemote);
    m_ui->txtLayer->setText(m_form.txtLayer);
    m_ui->chkActive->setChecked(m_form.chkActive);
    for (QWidget *field : {static_cast<QWidget *>(m_ui->txtTitle), static_cast<QWidget *>(m_ui->txtLocal),
                           static_cast<QWidget *>(m_ui->txtRemote), static_cast<QWidget *>(m_ui->chkActive)})
        field->setEnabled(m_form.fieldsEnabled);
    m_ui->cmdUp->setEnabled(m_form.cmdUpEnabled);
    m_ui->cmdDown->setEnabled(m_form.cmdDownEnabled);
    m_ui->lblPosition->setText(tr("Entry %1 of %2").arg(m_form.position).arg(m_form.count()));
    m_refreshing = false;
}

void CacheView::reject()
{
    // The edits are in the entries already; closing is the same as OK.
    m_form.cmdOk_Click();
    QDialog::reject();
}

// ---- AboutView -----------------------------------------------------------------------------

AboutView::AboutView(frmSplash &form, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_form(form)
{
    setWindowTitle(QStringLiteral("Info"));
    m_face = SplashFace::create(*this, form);
}

void AboutView::afterLogic()
{
    if (!m_form.isVisible())
        QDialog::done(QDialog::Accepted);
}

bool AboutView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && m_face.routePress(watched, m_form)) {
        afterLogic();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutView::mousePressEvent(QMouseEvent *event)
{
    m_form.Form_Click();
    afterLogic();
    event->accept();
}

void AboutView::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    m_form.Form_KeyPress(text.isEmpty() ? event->key() : text.at(0).unicode());
    afterLogic();
    event->accept();
}

void AboutView::paintEvent(QPaintEvent *)
{
    SplashFace::paintBackground(*this);
}
