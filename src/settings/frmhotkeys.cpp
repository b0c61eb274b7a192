#include "settings/frmhotkeys.h"

#include "settings/programsettings.h"

frmHotkeys::frmHotkeys(ProgramSettings &settings, QStringList captions, Table &table)
    : m_settings(settings), m_captions(std::move(captions)), m_table(table)
{
    cboHotkey.fill(-1);
}

void frmHotkeys::Form_Load()
{
    cboHotkeyList = m_captions;
    for (int k = 0; k < KeyCount; ++k)
        cboHotkey[std::size_t(k)] = int(cboHotkeyList.indexOf(m_table[std::size_t(k)]));
}

void frmHotkeys::cboHotkey_Click(int key, int listIndex)
{
    if (key < 0 || key >= KeyCount)
        return;
    cboHotkey[std::size_t(key)] = listIndex >= 0 && listIndex < cboHotkeyList.size() ? listIndex : -1;
}

QString frmHotkeys::cboHotkeyText(int key) const
{
    const int index = cboHotkey[std::size_t(key)];
    return index >= 0 && index < cboHotkeyList.size() ? cboHotkeyList.at(index) : QString();
}

void frmHotkeys::cmdOk_Click()
{
    // Every key is written, bound or not, so the settings always match what the dialog showed.
    for (int k = 0; k < KeyCount; ++k) {
        m_table[std::size_t(k)] = cboHotkeyText(k);
        m_settings.setFunctionKey(k + 1, m_table[std::size_t(k)]);
    }
    visible = false;
}

void frmHotkeys::cmdCancel_Click()
{
    visible = false;
}
