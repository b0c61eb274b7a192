#pragma once

#include <QDialog>

#include <memory>

class frmAddScenery;
class frmInstallProgress;
class QLabel;
class QProgressBar;
class QPushButton;
namespace Ui {
class frmAddScenery;
}

// Registers the add-scenery dialog and the installation's progress window with the GUI's UI port.
void registerInstallViews();

// "Install Scenery": every field bound to frmAddScenery; the frames of the ways not chosen are
// disabled. Closing the window counts as Cancel.
class AddSceneryView : public QDialog
{
    Q_OBJECT
public:
    AddSceneryView(frmAddScenery &form, QWidget *parent = nullptr);
    ~AddSceneryView() override;

    void reject() override;

private:
    // Shows the logic's state; after each of its procedures.
    void refresh();
    void afterLogic();

    frmAddScenery &m_form;
    std::unique_ptr<Ui::frmAddScenery> m_ui;
    bool m_refreshing = false;
};

// The installation's progress: the file being placed and Cancel. It runs the installation once it
// is on screen and closes when it ends; Cancel and closing the window stop it between files.
class InstallProgressView : public QDialog
{
    Q_OBJECT
public:
    InstallProgressView(frmInstallProgress &form, QWidget *parent = nullptr);

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();

    frmInstallProgress &m_form;
    QLabel *m_file = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_started = false;
};
