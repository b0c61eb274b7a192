#pragma once

#include "library/records.h"
#include "platform/outcome.h"
#include "platform/uiport.h"

#include <QList>
#include <QString>
#include <QStringList>

class FileSystem;

// The set dialog of "Create Scenery" ("Select Sets"): the sets to write, in the order the user
// arranges them, and the "[General]" values. The CD-ROM source command opens it in CD mode, where
// the cache size, clean-on-exit and start flight do not apply.
class frmSelectSets : public FormLogic
{
public:
    // One node of trvSets: key = set name, text = name and member count.
    struct SetNode
    {
        QString key;
        QString text;
        bool checked = false;
    };

    // simType: the simulator the "[General]" title is proposed for.
    explicit frmSelectSets(qint32 simType);
    QString formName() const override { return QStringLiteral("frmSelectSets"); }
    QString caption() const { return QStringLiteral("Select Sets"); }

    // Adds a node for a set: its name, and in brackets every member it holds.
    void addSet(const QString &name, qsizetype memberCount);
    // The nodes of the sets offered, in the library's order: those of the simulator, or in CD mode
    // every set, whatever simulator it belongs to. "(Current)" and a set without a name never.
    void fillSets(const OrderedMap<CfgPtr> &dicCFGs);

    // Resets the fields for the simulator, as each showing of the dialog starts.
    void Form_Activate();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdMoveUp_Click();
    void cmdMoveDown_Click();

    // The cache size in megabytes the field gives: "__50M" is 50, blanks are 0.
    qint32 cacheSize() const { return cacheSizeOf(txtCache_Size); }
    static qint32 cacheSizeOf(const QString &fieldText);
    // The field's mask: four digit places and the "M" of megabytes.
    static QString cacheSizeMask() { return QStringLiteral("9999M"); }

    // Controls.
    QList<SetNode> trvSets;
    int trvSetsSelected = -1; // the selected node, -1 for none
    QString txtTitle;
    QString txtDescription;
    QString txtCache_Size; // as the masked field shows it, "_" for an empty place
    bool chkClean_on_Exit = false;
    QStringList cboFLTItems; // the saved flights offered
    QString cboFLT;          // the chosen one; "" sets no start flight
    bool txtCache_SizeEnabled = true;
    bool chkClean_on_ExitEnabled = true;
    bool cboFLTEnabled = true;
    // The "[General]" fields and the start flight; hidden in CD mode, where only the sets count.
    bool generalFieldsVisible = true;
    bool visible = true;

    // Results and the caller's switch.
    QString strSets; // the ticked sets' keys in list order, each followed by CR LF; "" when cancelled
    bool bCDMode = false;

private:
    void moveSelected(int step);

    qint32 m_simType;
};

// The start flight: a simulator's saved flights, and pointing its own configuration file at one.
namespace StartFlight {

// The folder of saved flights below the simulator folder ("\PILOTS", "\flights\myflts"); ""
// for Combat Flight Simulator 2, which has none the wizard uses.
QString flightFolder(qint32 simType);
// The simulator's own configuration file ("\FS2000.cfg", "\FS2002.cfg"); "" for Combat Flight
// Simulator 2.
QString simulatorCfg(qint32 simType);

// The names of the saved flights: each file of the flight folder whose name ends in "FLT" in any
// letter case, without its extension, in the folder's order. Empty when the folder is missing.
QStringList flights(const FileSystem &fs, const QString &simFolder, qint32 simType);

// Rewrites the "SITUATION" line of the simulator's configuration file to start with the flight:
// the file is copied to ".backup" first, then written anew from that copy, each line without its
// blanks around it. Refused, with nothing changed, for Combat Flight Simulator 2 or when the file
// is missing; Failed with the error when it could not be copied or written (the ".backup" copy
// then holds the previous content).
Outcome setSituation(const FileSystem &fs, const QString &simFolder, qint32 simType, const QString &flight);

} // namespace StartFlight
