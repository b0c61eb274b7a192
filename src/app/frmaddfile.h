#pragma once

#include "install/filelistfile.h"
#include "platform/uiport.h"

#include <QString>
#include <QStringList>

#include <functional>

// The dialog "Add a file to the file list", also used to edit an entry: the file's name, where it
// belongs (a root word and a folder below it) and where it was taken from.
class frmAddFile : public FormLogic
{
public:
    explicit frmAddFile(UiPort &ui);

    QString formName() const override { return QStringLiteral("frmAddFile"); }
    static QString caption() { return QStringLiteral("Add a file to the file list"); }
    static QString cmdCancelCaption() { return QStringLiteral("&Cancel"); }
    // The root words of cboRoot, in list order.
    static const QStringList Roots;
    // The folder memory's key of the browse button's chooser.
    static QString folderKey() { return QStringLiteral("FLAdd"); }

    // The folder memory; without it the chooser starts in no folder in particular.
    std::function<QString(const QString &key)> getDicPath;
    std::function<void(const QString &key, const QString &folder)> setDicPath;

    QString txtFile;
    int cboRoot = 0;
    QString txtDestination; // the folder below the root
    QString txtSource;
    bool bOk = false;
    bool visible = true;

    // Fills the fields from an entry: its Destination split into root word and folder. One that
    // begins with no root word is a folder below "MySceneryBase".
    void setEntry(const FileListEntry &entry);
    // The entry the fields describe: root word, "\" and folder (the root word alone for no folder).
    FileListEntry entry() const;

    // Chooses the file: Source becomes its full path, File its name.
    void cmdBrowse_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    UiPort &m_ui;
};
