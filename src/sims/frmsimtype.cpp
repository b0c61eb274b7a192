#include "sims/frmsimtype.h"

#include "sims/location.h"

QString frmSimType::optionCaption(int index)
{
    return Location::optionCaption(index);
}

void frmSimType::prepare(const Location &location, qint32 simType)
{
    optSimTypeEnabled = {location.FS2000installed(), location.FS2002installed(), location.CFS2installed()};
    m_initial = simType == 1 ? 1 : simType == 0 ? 0 : 2;
    optSimType = {};
    optSimType[std::size_t(m_initial)] = true;
}

void frmSimType::optSimType_Click(int index)
{
    if (index < 0 || index >= int(optSimType.size()) || !optSimTypeEnabled[std::size_t(index)])
        return;
    optSimType = {};
    optSimType[std::size_t(index)] = true;
}

void frmSimType::Form_Close()
{
    if (m_initial >= 0) {
        optSimType = {};
        optSimType[std::size_t(m_initial)] = true;
    }
    visible = false;
}

std::optional<qint32> frmSimType::chosen() const
{
    for (qint32 i = 0; i < qint32(optSimType.size()); ++i) {
        if (optSimType[std::size_t(i)])
            return i;
    }
    return std::nullopt;
}
