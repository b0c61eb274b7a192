#include "gui/app/guiuiport.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>

#include <algorithm>

namespace {
// "Text files|*.txt|All|*.*" -> "Text files (*.txt);;All (*.*)"
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        result.append(QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '))));
    return result.join(QStringLiteral(";;"));
}

QMessageBox::Icon qtIcon(UiPort::Icon icon)
{
    switch (icon) {
    case UiPort::Icon::Information: return QMessageBox::Information;
    case UiPort::Icon::Question: return QMessageBox::Question;
    case UiPort::Icon::Exclamation: return QMessageBox::Warning;
    case UiPort::Icon::Critical: return QMessageBox::Critical;
    case UiPort::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}
}

GuiUiPort::GuiUiPort(const FileSystem &fs) : m_fs(&fs)
{
}

QHash<QString, GuiUiPort::ViewFactory> &GuiUiPort::registry()
{
    static QHash<QString, ViewFactory> views;
    return views;
}

void GuiUiPort::registerView(const QString &formName, ViewFactory factory)
{
    registry().insert(formName, std::move(factory));
}

UiPort::Answer GuiUiPort::message(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    QMessageBox box(qtIcon(icon), title, text, QMessageBox::NoButton, m_parent);
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    }
    // The pointer must not stay busy over a question.
    const bool wasBusy = m_busyDepth > 0;
    if (wasBusy)
        QApplication::restoreOverrideCursor();
    const int result = box.exec();
    if (wasBusy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    switch (result) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

int GuiUiPort::promptWidth(const QString &title, const QFont &font)
{
    // The window manager writes the title in bold beside the window's icon and buttons.
    QFont bold = font;
    bold.setBold(true);
    return std::max(MinimumPromptWidth, QFontMetrics(bold).horizontalAdvance(title) + TitleBarRoom);
}

QString GuiUiPort::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("inputPrompt"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(defaultText);
    // The dialog's layout sets its minimum from its content, so the field is what is made wide.
    if (auto *field = dialog.findChild<QLineEdit *>()) {
        const QMargins margins = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
        field->setMinimumWidth(promptWidth(title, dialog.font()) - margins.left() - margins.right());
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString GuiUiPort::hostFolder(const QString &windowsFolder) const
{
    if (!m_fs)
        return windowsFolder;
    const QString host = m_fs->toHost(windowsFolder);
    return host.isEmpty() ? QString() : host;
}

std::optional<QString> GuiUiPort::chooseFile(const FileChooser &chooser)
{
    QString start = hostFolder(chooser.initialDir);
    if (!chooser.fileName.isEmpty())
        start = start.isEmpty() ? chooser.fileName : start + QLatin1Char('/') + chooser.fileName;
    const QString filter = qtFilter(chooser.filter);
    const QString chosen = chooser.save ? QFileDialog::getSaveFileName(m_parent, chooser.title, start, filter)
                                        : QFileDialog::getOpenFileName(m_parent, chooser.title, start, filter);
    if (chosen.isEmpty())
        return std::nullopt;
    return m_fs ? m_fs->toWindows(chosen) : chosen;
}

std::optional<QString> GuiUiPort::chooseFolder(const QString &title, const QString &initialDir)
{
    // A folder that is gone (a moved scenery, a drive taken out) starts the chooser in the nearest
    // folder above it that is still there; the chooser itself would fall back to the working folder.
    QString start = hostFolder(initialDir);
    while (!start.isEmpty() && !QFileInfo(start).isDir()) {
        const QString parent = QFileInfo(start).path();
        start = parent == start ? QString() : parent;
    }
    const QString chosen = QFileDialog::getExistingDirectory(m_parent, title, start);
    if (chosen.isEmpty())
        return std::nullopt;
    return m_fs ? m_fs->toWindows(chosen) : chosen;
}

void GuiUiPort::showModal(FormLogic &form)
{
    const auto factory = registry().value(form.formName());
    if (!factory) {
        QMessageBox::critical(m_parent, QStringLiteral("Lumivale"),
                              QStringLiteral("The window %1 is not available.").arg(form.formName()));
        return;
    }
    QDialog *dialog = factory(form, m_parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->exec();
    delete dialog;
}

void GuiUiPort::setBusy(bool busy)
{
    if (busy) {
        if (m_busyDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        if (--m_busyDepth == 0)
            QApplication::restoreOverrideCursor();
    }
}

void GuiUiPort::processEvents()
{
    // Long loops call this once per item; repainting every 30 ms keeps the window alive without
    // spending the loop's time in the event queue. User input waits until the command ends, so a
    // click cannot start a second command in the middle of the first.
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < 30)
        return;
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sinceEvents.start();
}

void GuiUiPort::progressShow(const QString &title)
{
    delete m_progress;
    m_progress = new QProgressDialog(m_parent);
    m_progress->setObjectName(QStringLiteral("progressWindow"));
    m_progress->setWindowTitle(title);
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->setCancelButtonText(QStringLiteral("Cancel"));
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    // A short job ends before the window would only flash.
    m_progress->setMinimumDuration(400);
    m_progress->setMinimumWidth(480);
    m_progress->setValue(0);
}

bool GuiUiPort::progressStep(const QString &item, int done, int total)
{
    if (!m_progress)
        return true;
    m_progress->setLabelText(item);
    m_progress->setMaximum(std::max(total, 0));
    m_progress->setValue(std::min(done, std::max(total, 0)));
    // Once the window is up it is modal, so the user's input can reach nothing but its Cancel;
    // before that, input waits as it does for every other job.
    if (!m_progress->isVisible()) {
        processEvents();
    } else if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= 30) {
        QApplication::processEvents();
        m_sinceEvents.start();
    }
    return !m_progress->wasCanceled();
}

void GuiUiPort::progressHide()
{
    delete m_progress;
}
