#pragma once

#include "platform/uiport.h"

#include <QString>
#include <QStringList>

#include <array>

class ProgramSettings;

// The hotkey dialog: one list per function key F1 to F12, each offering every caption of the
// command table (the empty caption of row 0 first, for no command). OK writes all twelve
// bindings into the function-key table and the settings "F1" to "F12"; Cancel changes nothing.
// The lists take no typed text: a binding is always one of the captions or none.
class frmHotkeys : public FormLogic
{
public:
    static constexpr int KeyCount = 12;
    // Entry n holds the caption bound to F(n+1), or "".
    using Table = std::array<QString, KeyCount>;

    // captions: the command table's captions in row order, row 0 included; table: the program's
    // function-key table, which OK rewrites.
    frmHotkeys(UiPort &ui, ProgramSettings &settings, QStringList captions, Table &table);

    QString formName() const override { return QStringLiteral("frmHotkeys"); }
    QString caption() const { return QStringLiteral("Hotkeys"); }

    // Fills the twelve lists and selects each key's caption; a caption that is not offered any
    // more selects nothing.
    void Form_Load();
    void cboHotkey_Click(int key, int listIndex);
    void cmdOk_Click();
    void cmdCancel_Click();

    // The list's text: its selected caption, "" when nothing is selected.
    QString cboHotkeyText(int key) const;

    // The entries every list offers, and each list's selection (-1 none).
    QStringList cboHotkeyList;
    std::array<int, KeyCount> cboHotkey{};
    bool visible = true;

private:
    UiPort &m_ui;
    ProgramSettings &m_settings;
    QStringList m_captions;
    Table &m_table;
};
