#include "gui/packaging/fileiddizview.h"

#include "gui/app/dialogbuttons.h"
#include "gui/app/guiuiport.h"
#include "packaging/fileiddiz.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
// The editor works with bare line feeds; the file, and so the logic, with CR LF.
QString withCrLf(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
}
} // namespace

void registerPackagingViews()
{
    GuiUiPort::registerView(
        QStringLiteral("EditFileIdDizDialog"), [](FormLogic &form, QWidget *parent) -> QDialog * {
            return new EditFileIdDizView(dynamic_cast<EditFileIdDizDialog &>(form), parent);
        });
}

EditFileIdDizView::EditFileIdDizView(EditFileIdDizDialog &form, QWidget *parent)
    : QDialog(parent), m_form(form)
{
    setWindowTitle(form.caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtText"));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setPlainText(QString(form.txtText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // A description is traditionally 45 columns wide and ten lines long.
    const QFontMetrics metrics(m_text->font());
    m_text->setMinimumSize(metrics.horizontalAdvance(QString(48, u'M')), metrics.lineSpacing() * 14);
    layout->addWidget(m_text, 1);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));
    layout->addWidget(m_count);

    // The text takes Enter as a new line.
    const OkCancelButtons buttons = makeOkCancelButtons(this, QStringLiteral("cmdOK"), tr("&Cancel"), false);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    layout->addWidget(buttons.box);

    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        m_form.txtText = withCrLf(m_text->toPlainText());
        showCount();
    });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOK_Click();
        if (!m_form.visible)
            QDialog::done(QDialog::Accepted);
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
    showCount();
}

void EditFileIdDizView::showCount()
{
    const qsizetype used = m_form.txtText.size();
    QString text = tr("%1 of %2 characters").arg(used).arg(FileIdDiz::MaxLength);
    if (used > FileIdDiz::MaxLength)
        text += tr(" - only the first %1 are kept").arg(FileIdDiz::MaxLength);
    m_count->setText(text);
}

void EditFileIdDizView::reject()
{
    m_form.cmdCancel_Click();
    QDialog::reject();
}
