#pragma once

#include "platform/appcontext.h"

#include <QString>

#include <array>

class ProgramSettings;

// The preferences dialog: the two backup roots, the installation folders of the three simulators
// (written into the simulators' own installation keys), the browser, and the addresses of the
// documentation, the homepage and the forum. Opening it fills the fields from the settings with
// their defaults; OK writes every field that is not empty; Cancel writes nothing.
class frmPref : public FormLogic
{
public:
    frmPref(AppContext &context, ProgramSettings &settings);

    QString formName() const override { return QStringLiteral("frmPref"); }
    QString caption() const { return QStringLiteral("Preferences"); }

    // Reads every field; a default backup root that is missing is created.
    void Form_Load();

    // The choosers. A cancelled chooser changes nothing.
    void cmdSelectBackupPath_Click();
    void cmdTextureRoot_Click();
    void cmdFS2000Root_Click() { chooseSimulator(0); }
    void cmdFS2002root_Click() { chooseSimulator(1); }
    void cmdCFS2root_Click() { chooseSimulator(2); }
    void cmdSelectBrowser_Click();
    void cmdDoc_Click();

    void cmdOk_Click();
    void cmdCancel_Click() { visible = false; }

    // The field of a simulator (0, 1, 2) and whether it is enabled: a simulator without an
    // installation value has an empty, disabled field.
    QString &simulatorField(int simType);
    bool simulatorFieldEnabled(int simType) const { return m_simEnabled[std::size_t(simType)]; }

    // The simulators' installation values the dialog shows and writes.
    static QString simulatorValueName(int simType);

    QString txtBRP;
    QString txtTBRP;
    QString txtFS2000;
    QString txtFS2002;
    QString txtCFS2;
    QString txtBrowser;
    QString txtDoc;
    QString txtHomePage;
    QString txtForum;
    bool visible = true;

private:
    void chooseSimulator(int simType);
    void chooseFolderInto(QString &field);
    QString defaultedFolder(const QString &stored, const QString &defaultFolder) const;

    AppContext &m_context;
    ProgramSettings &m_settings;
    std::array<bool, 3> m_simEnabled{};
};
