#pragma once

#include "platform/uiport.h"

#include <QString>

#include <functional>

// The progress window of an installation: the file being placed and a Cancel button. Shown
// modally, it runs the work it was given (run(), called by its view once it is on screen, or by
// a test) and hides itself when the work ends. Cancel stops the work between two files.
class frmInstallProgress : public FormLogic
{
public:
    explicit frmInstallProgress(UiPort &ui) : m_ui(ui) {}
    QString formName() const override { return QStringLiteral("frmInstallProgress"); }
    QString caption() const { return QStringLiteral("Installing scenery"); }

    // The installation; runs once.
    std::function<void()> work;
    // Called whenever the shown state changes, so that a view repaints.
    std::function<void()> changed;

    void run();
    // The work's progress: the file it is at. Lets pending window events run, so that the window
    // repaints and a click on Cancel arrives.
    void setCurrentFile(const QString &file);
    void cmdCancel_Click();
    bool cancelRequested() const { return m_cancelled; }

    QString lblFile;
    int filesDone = 0;
    bool cmdCancelEnabled = true;
    bool visible = true;

private:
    UiPort &m_ui;
    bool m_cancelled = false;
    bool m_ran = false;
};
