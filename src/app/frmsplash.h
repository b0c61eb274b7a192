#pragma once

#include "platform/uiport.h"

#include <QString>

// The splash window shown while the main window loads. It is modeless: the main window shows and
// hides it, and a click on it or on one of its labels, or any key pressed in it, hides it early.
class frmSplash : public FormLogic
{
public:
    QString formName() const override { return QStringLiteral("frmSplash"); }

    // Fills the build label from the program's version.
    void Form_Load();

    void Form_Click() { hide(); }
    void Label1_Click() { hide(); }
    void Label2_Click() { hide(); }
    void lblClose_Click() { hide(); }
    void Form_KeyPress(int keyAscii);

    void show() { m_visible = true; }
    void hide() { m_visible = false; }
    bool isVisible() const { return m_visible; }

    const QString Label1 = QStringLiteral("Lumivale V1.6");
    const QString Label2 = QStringLiteral("31.12.2001");
    const QString lblClose = QStringLiteral("Close");
    QString lblBuild;
    bool Text1Visible = true;
    bool lblCloseVisible = true;

private:
    bool m_visible = false;
};
