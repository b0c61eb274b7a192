#pragma once

#include "gui/app/splashface.h"
#include "platform/launcher.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class frmCache;
class frmHotkeys;
class frmPref;
class frmSplash;
namespace Ui {
class CacheDialog;
class PrefDialog;
} // namespace Ui

// Registers the views of the preferences, hotkey and cache dialogs and of the about box with the
// GUI's UI port; the GUI's start calls it once.
void registerToolViews();

// The launcher of the GUI: addresses go to the desktop's own handler (QDesktopServices).
class DesktopLauncher : public Launcher
{
public:
    using Launcher::Launcher;
    bool openWithDesktop(const QUrl &address) override;
};

// The preferences dialog (prefdialog.ui). The fields are written into the logic as they are
// typed; the choosers fill them from the logic.
class PrefView : public QDialog
{
    Q_OBJECT
public:
    PrefView(frmPref &form, QWidget *parent = nullptr);
    ~PrefView() override;

    QLineEdit *field(const char *name) const;
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void reject() override;

private:
    void refresh();
    void bindField(QLineEdit *edit, QString &text);
    void bindChooser(QPushButton *button, const std::function<void()> &procedure);

    frmPref &m_form;
    std::unique_ptr<Ui::PrefDialog> m_ui;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

// The hotkey dialog: twelve rows of a key's name and a drop-down list of the command captions.
class HotkeysView : public QDialog
{
    Q_OBJECT
public:
    HotkeysView(frmHotkeys &form, QWidget *parent = nullptr);

    QComboBox *list(int key) const { return m_lists.at(std::size_t(key)); }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void reject() override;

private:
    frmHotkeys &m_form;
    std::array<QComboBox *, 12> m_lists{};
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

// The cache manager (cachedialog.ui): one entry at a time, every edit written at once.
class CacheView : public QDialog
{
    Q_OBJECT
public:
    CacheView(frmCache &form, QWidget *parent = nullptr);
    ~CacheView() override;

    QLineEdit *titleField() const;
    QLineEdit *localField() const;
    QLineEdit *remoteField() const;
    QLineEdit *layerField() const;
    QCheckBox *activeBox() const;
    QPushButton *upButton() const;
    QPushButton *downButton() const;
    QPushButton *okButton() const { return m_ok; }

    void reject() override;

private:
    void refresh();

    frmCache &m_form;
    std::unique_ptr<Ui::CacheDialog> m_ui;
    QPushButton *m_ok = nullptr;
    bool m_refreshing = false;
};

// The splash window as the about box of "Info": modal, closed by a click or a key as the splash is.
class AboutView : public QDialog
{
    Q_OBJECT
public:
    AboutView(frmSplash &form, QWidget *parent = nullptr);

protected:
    void mousePressEvent(class QMouseEvent *event) override;
    void keyPressEvent(class QKeyEvent *event) override;
    void paintEvent(class QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void afterLogic();

    frmSplash &m_form;
    SplashFace m_face;
};
