#pragma once

#include <QWidget>

class frmScenery;
class QPushButton;
class QTreeWidget;

// The "File list" page of the main window: the displayed scenery's file list in the columns
// "File", "Destination" and "Source", and its buttons, each enabled while it can do its job.
class FileListPage : public QWidget
{
    Q_OBJECT
public:
    explicit FileListPage(frmScenery &form, QWidget *parent = nullptr);

private:
    void refresh();

    frmScenery &m_form;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_create = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_open = nullptr;
};

// Registers the view of "Add a file to the file list" with the GUI's UI port.
void registerFileListViews();
