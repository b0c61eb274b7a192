#include "settings/frmhotkeys.h"

#include "platform/errorreporter.h"
#include "settings/programsettings.h"

frmHotkeys::frmHotkeys(UiPort &ui, ProgramSettings &settings, QStringList captions, Table &table)
    : m_ui(ui), m_settings(settings), m_captions(std::move(captions)), m_table(table)
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
    // A key takes its new command only once the settings hold it; when one cannot be stored the
    // dialog stays open with the choices, and table and settings still agree key by key.
    const bool stored = runStep(m_ui, QStringLiteral("frmHotkeys.cmdOk_Click"), [&] {
        for (int k = 0; k < KeyCount; ++k) {
            const QString caption = cboHotkeyText(k);
            m_settings.setFunctionKey(k + 1, caption);
            m_table[std::size_t(k)] = caption;
        }
    });
    if (stored)
        visible = false;
}

void frmHotkeys::cmdCancel_Click()
{
    visible = false;
}
