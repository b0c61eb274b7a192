#include "gui/app/scenerydetailspage.h"

#include "app/frmscenery.h"
#include "gui/app/fieldhelpers.h"
#include "library/scenerymanager.h"

#include "ui_scenerydetailspage.h"

#include <QImage>
#include <QIntValidator>
#include <QKeyEvent>
#include <QSignalBlocker>

using FieldHelpers::setLineText;

SceneryDetailsPage::SceneryDetailsPage(frmScenery &form, QWidget *parent)
    : QWidget(parent), m_form(form), m_ui(std::make_unique<Ui::SceneryDetailsPage>())
{
    Ui::SceneryDetailsPage &ui = *m_ui;
    ui.setupUi(this);
    // What the form cannot say: lists from the logic, widths from this desktop's font.
    ui.txtGroupID->addItems(DetailsPanel::GroupIDs);
    ui.cboSalesType->addItems(DetailsPanel::SalesTypes);
    ui.txtTexture_ID->setValidator(new QIntValidator(-32768, 32767, ui.txtTexture_ID));
    const int numberWidth = ui.txtLayer->fontMetrics().horizontalAdvance(QStringLiteral("-000000")) + 16;
    ui.txtLayer->setMaximumWidth(numberWidth);
    ui.txtTexture_ID->setMaximumWidth(numberWidth);
    ui.txtID->setMaximumWidth(numberWidth + 20);
    ui.txtAuthor->setCompleter(nullptr);
    FieldHelpers::fitBrowseButton(ui.cmdFile0);
    FieldHelpers::fitBrowseButton(ui.cmdFile1);
    ui.imgPicture->setForegroundRole(QPalette::PlaceholderText);
    ui.optLocalRemote->setId(ui.optLocalRemote0, 0);
    ui.optLocalRemote->setId(ui.optLocalRemote1, 1);
    // The author box holds the focus and hands its keys to its line edit past every filter of
    // the line edit, so key releases are seen at the box.
    ui.txtAuthor->installEventFilter(this);
    ui.txtAuthor->lineEdit()->installEventFilter(this);

    bind();
    refresh();
}

SceneryDetailsPage::~SceneryDetailsPage() = default;

void SceneryDetailsPage::bind()
{
    Ui::SceneryDetailsPage &ui = *m_ui;
    frmScenery &form = m_form;
    connect(ui.txtLocal, &QLineEdit::textEdited, this,
            [&form](const QString &t) { form.txtLocal_Change(t); });
    connect(ui.txtRemote, &QLineEdit::textEdited, this,
            [&form](const QString &t) { form.txtRemote_Change(t); });
    connect(ui.txtTexture_ID, &QLineEdit::textEdited, this,
            [&form](const QString &t) { form.txtTexture_ID_Change(t); });
    connect(ui.txtAuthor->lineEdit(), &QLineEdit::textEdited, this,
            [&form](const QString &t) { form.txtAuthor_Change(t); });
    connect(ui.txtAuthor, &QComboBox::activated, this,
            [this](int index) { m_form.txtAuthor_Change(m_ui->txtAuthor->itemText(index)); });
    connect(ui.txtVersion, &QLineEdit::textEdited, this,
            [&form](const QString &t) { form.txtVersion_Change(t); });
    connect(ui.txtComment, &QLineEdit::textEdited, this,
            [&form](const QString &t) { form.txtComment_Change(t); });
    connect(ui.txtGroup, &QLineEdit::textEdited, this,
            [&form](const QString &t) { form.txtGroup_Change(t); });
    connect(ui.txtID, &QLineEdit::textEdited, this, [&form](const QString &t) { form.txtID_Change(t); });
    connect(ui.txtGroupID, &QComboBox::activated, this, [&form](int index) { form.txtGroupID_Click(index); });
    connect(ui.chkActive, &QCheckBox::clicked, this,
            [&form](bool checked) { form.chkActive_Click(checked); });
    connect(ui.chkRequired, &QCheckBox::clicked, this,
            [&form](bool checked) { form.chkRequired_Click(checked); });
    connect(ui.cboSalesType, &QComboBox::activated, this,
            [&form](int index) { form.cboSalesType_Click(index); });
    connect(ui.optLocalRemote, &QButtonGroup::idClicked, this,
            [&form](int id) { form.optLocalRemote_Click(id); });
    const QCheckBox *types[] = {ui.chkType0, ui.chkType1, ui.chkType2, ui.chkType3, ui.chkType4, ui.chkType5};
    for (int i = 0; i < int(std::size(types)); ++i)
        connect(types[i], &QCheckBox::clicked, this,
                [&form, i](bool checked) { form.chkType_Click(i, checked); });
    const QPushButton *files[] = {ui.cmdFile0, ui.cmdFile1, ui.cmdFile2};
    for (int i = 0; i < int(std::size(files)); ++i)
        connect(files[i], &QPushButton::clicked, this, [&form, i] { form.cmdFile_Click(i); });
    connect(ui.cmdAirportDir, &QPushButton::clicked, this, [&form] { form.cmdAirportDir_Click(); });

    connect(&form.details(), &DetailsPanel::detailsChanged, this, &SceneryDetailsPage::refresh);
}

bool SceneryDetailsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((watched == m_ui->txtAuthor || watched == m_ui->txtAuthor->lineEdit()) && !key->isAutoRepeat())
            m_form.txtAuthor_KeyUp(Qt::Key(key->key()), m_ui->txtAuthor->lineEdit()->cursorPosition());
    }
    return QWidget::eventFilter(watched, event);
}

void SceneryDetailsPage::refresh()
{
    Ui::SceneryDetailsPage &ui = *m_ui;
    const DetailsPanel &details = m_form.details();
    const DetailsPanel::Fields &d = details.fields();
    setEnabled(details.displayedScenery() != nullptr);

    setLineText(ui.txtTitle, d.txtTitle);
    setLineText(ui.txtLocal, d.txtLocal);
    setLineText(ui.txtRemote, d.txtRemote);
    setLineText(ui.txtLayer, d.txtLayer);
    setLineText(ui.txtTexture_ID, d.txtTexture_ID);
    setLineText(ui.txtVersion, d.txtVersion);
    setLineText(ui.txtComment, d.txtComment);
    setLineText(ui.txtGroup, d.txtGroup);
    setLineText(ui.txtID, d.txtID);
    {
        const QSignalBlocker blocker(ui.optLocalRemote);
        ui.optLocalRemote->setExclusive(false);
        ui.optLocalRemote0->setChecked(d.optLocalRemote == 0);
        ui.optLocalRemote1->setChecked(d.optLocalRemote == 1);
        ui.optLocalRemote->setExclusive(true);
    }
    refreshAuthor();
    {
        const QSignalBlocker blocker(ui.txtGroupID);
        if (ui.txtGroupID->currentIndex() != d.txtGroupID)
            ui.txtGroupID->setCurrentIndex(d.txtGroupID);
    }
    {
        const QSignalBlocker blocker(ui.cboSalesType);
        if (ui.cboSalesType->currentIndex() != d.cboSalesType)
            ui.cboSalesType->setCurrentIndex(d.cboSalesType);
    }
    ui.chkActive->setChecked(d.chkActive);
    ui.chkRequired->setChecked(d.chkRequired);
    QCheckBox *types[] = {ui.chkType0, ui.chkType1, ui.chkType2, ui.chkType3, ui.chkType4, ui.chkType5};
    for (std::size_t i = 0; i < std::size(types); ++i)
        types[i]->setChecked(d.chkType[i]);
    showPicture(d.picture);
}

void SceneryDetailsPage::refreshAuthor()
{
    QComboBox *author = m_ui->txtAuthor;
    const DetailsPanel::Fields &d = m_form.details().fields();
    const QSignalBlocker blocker(author);
    const QStringList authors = m_form.details().authorList();
    QStringList listed;
    for (int i = 0; i < author->count(); ++i)
        listed.append(author->itemText(i));
    if (listed != authors) {
        author->clear();
        author->addItems(authors);
        author->setCurrentIndex(-1);
    }
    QLineEdit *edit = author->lineEdit();
    if (edit->text() == d.txtAuthor)
        return;
    edit->setText(d.txtAuthor);
    // A completion leaves the caret where the typing was and marks what it added.
    const int length = int(d.txtAuthor.size());
    const int caret = std::clamp(d.txtAuthorSelStart, 0, length);
    if (edit->hasFocus() && caret > 0)
        edit->setSelection(length, caret - length);
    else
        edit->setCursorPosition(caret);
}

void SceneryDetailsPage::showPicture(const QString &file)
{
    if (file == m_pictureShown)
        return;
    m_pictureShown = file;
    QImage image;
    if (!file.isEmpty())
        image.load(m_form.context().fs.toHost(file));
    if (image.isNull()) {
        m_ui->imgPicture->setText(tr("No picture"));
        return;
    }
    const QSize room = m_ui->imgPicture->contentsRect().size();
    m_ui->imgPicture->setPixmap(
        QPixmap::fromImage(image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
