#pragma once

#include <QWidget>

#include <memory>

class frmScenery;
namespace Ui {
class SceneryDetailsPage;
}

// The "Scenery Details" page of the main window (scenerydetailspage.ui): the fields and the
// picture of the displayed scenery. Edits go to the window's event procedures; the details panel's
// signals repaint the page, with the widgets' signals blocked so a repaint never reads as an edit.
class SceneryDetailsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SceneryDetailsPage(frmScenery &form, QWidget *parent = nullptr);
    ~SceneryDetailsPage() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bind();
    void refresh();
    void refreshAuthor();
    void showPicture(const QString &file);

    frmScenery &m_form;
    std::unique_ptr<Ui::SceneryDetailsPage> m_ui;
    QString m_pictureShown;
};
