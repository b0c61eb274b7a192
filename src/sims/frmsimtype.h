#pragma once

#include "platform/uiport.h"

#include <array>
#include <optional>

class Location;

// The simulator chooser "Select Sim Type": one option per simulator, enabled when it is installed,
// and OK. The caller reads the options after the dialog was shown.
class frmSimType : public FormLogic
{
public:
    QString formName() const override { return QStringLiteral("frmSimType"); }
    QString caption() const { return QStringLiteral("Select Sim Type"); }
    // The option captions, by simulator.
    static QString optionCaption(int index);

    // Enables the options of the installed simulators and switches on the one of simType (the
    // option of Combat Flight Simulator 2 for any number but 0 and 1).
    void prepare(const Location &location, qint32 simType);

    void optSimType_Click(int index);
    void cmdOK_Click() { visible = false; }
    // The window closed without OK: the option switched on when it opened stays the choice.
    void Form_Close();

    // The simulator whose option is on.
    std::optional<qint32> chosen() const;

    std::array<bool, 3> optSimType{};
    std::array<bool, 3> optSimTypeEnabled{};
    bool visible = true;

private:
    int m_initial = -1;
};
