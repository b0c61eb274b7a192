#include "scenerycfg/frmselectsets.h"

#include "library/vbconvert.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"
#include "platform/winpath.h"

frmSelectSets::frmSelectSets(qint32 simType) : m_simType(simType) {}

void frmSelectSets::addSet(const QString &name, qsizetype memberCount)
{
    trvSets.append(SetNode{name, name + QStringLiteral(" (") + QString::number(memberCount) + u')'});
}

void frmSelectSets::fillSets(const OrderedMap<CfgPtr> &dicCFGs)
{
    trvSets.clear();
    trvSetsSelected = -1;
    for (const CfgPtr &set : dicCFGs) {
        if (!set || set->Key == LibraryNames::CurrentSet)
            continue;
        if (bCDMode ? set->Key.isEmpty() : set->Cache_Size != m_simType)
            continue;
        addSet(set->Key, set->colUsedSceneries.count());
    }
}

void frmSelectSets::Form_Activate()
{
    strSets.clear();
    txtCache_Size = QStringLiteral("__50M");
    txtCache_SizeEnabled = !bCDMode;
    chkClean_on_ExitEnabled = !bCDMode;
    cboFLTEnabled = !bCDMode;
    generalFieldsVisible = !bCDMode;
    switch (m_simType) {
    case 0:
        txtTitle = QStringLiteral("FS2000 World");
        break;
    case 1:
        txtTitle = QStringLiteral("FS2002 World");
        break;
    case 2:
        txtTitle = QStringLiteral("CFS2 World");
        break;
    default:
        break;
    }
    txtDescription = QStringLiteral("Lumivale 1.6 Created World");
}

void frmSelectSets::cmdOk_Click()
{
    strSets.clear();
    for (const SetNode &node : std::as_const(trvSets)) {
        if (node.checked)
            strSets += node.key + QStringLiteral("\r\n");
    }
    visible = false;
}

void frmSelectSets::cmdCancel_Click()
{
    strSets.clear();
    visible = false;
}

void frmSelectSets::cmdMoveUp_Click()
{
    moveSelected(-1);
}

void frmSelectSets::cmdMoveDown_Click()
{
    moveSelected(1);
}

void frmSelectSets::moveSelected(int step)
{
    const int target = trvSetsSelected + step;
    if (trvSetsSelected < 0 || trvSetsSelected >= trvSets.size() || target < 0 || target >= trvSets.size())
        return;
    // The node is put in again under its key alone: the count it showed is not carried over.
    SetNode node = trvSets.takeAt(trvSetsSelected);
    node.text = node.key;
    trvSets.insert(target, node);
    trvSetsSelected = target;
}

qint32 frmSelectSets::cacheSizeOf(const QString &fieldText)
{
    QString digits = fieldText;
    digits.remove(u'_');
    digits.remove(u'M');
    return VbConvert::toInt32(VbConvert::leadingValue(digits));
}

// ---------------------------------------------------------------------------------------------

namespace StartFlight {

QString flightFolder(qint32 simType)
{
    switch (simType) {
    case 0:
        return QStringLiteral("\\PILOTS");
    case 1:
        return QStringLiteral("\\flights\\myflts");
    default:
        return {};
    }
}

QString simulatorCfg(qint32 simType)
{
    switch (simType) {
    case 0:
        return QStringLiteral("\\FS2000.cfg");
    case 1:
        return QStringLiteral("\\FS2002.cfg");
    default:
        return {};
    }
}

QStringList flights(const FileSystem &fs, const QString &simFolder, qint32 simType)
{
    QStringList names;
    const QString folder = flightFolder(simType);
    if (folder.isEmpty() || !fs.folderExists(simFolder + folder))
        return names;
    for (const QString &file : fs.files(simFolder + folder)) {
        // A file named only "FLT" or ".FLT" would offer a flight without a name.
        if (file.endsWith(QLatin1String("FLT"), Qt::CaseInsensitive) && file.size() > 4)
            names.append(file.chopped(4));
    }
    return names;
}

Outcome setSituation(const FileSystem &fs, const QString &simFolder, qint32 simType, const QString &flight)
{
    const QString cfg = simulatorCfg(simType);
    if (cfg.isEmpty())
        return Outcome::refused(QStringLiteral("Combat Flight Simulator 2 has no start flight to set."));
    const QString path = simFolder + cfg;
    if (!fs.fileExists(path))
        return Outcome::refused(
            QStringLiteral(
                "The start flight was not set: %1 does not exist. Start the simulator once, so that "
                "it writes its configuration file, and create the scenery again.")
                .arg(path));
    const QString situation = simType == 0 ? QStringLiteral("SITUATION=Pilots\\") + flight
                                           : QStringLiteral("SITUATION=flights\\myflts") + u'\\' + flight;
    const QString backup = path + QStringLiteral(".backup");
    try {
        fs.copyFile(path, backup, true);
        QStringList lines = fs.readLines(backup);
        for (QString &line : lines) {
            line = WinPath::trimBlanks(line);
            if (line.left(9).toUpper() == QLatin1String("SITUATION"))
                line = situation;
        }
        fs.writeLines(path, lines);
    } catch (const LmError &e) {
        return Outcome::failed(e, path);
    }
    return Outcome::done();
}

} // namespace StartFlight
