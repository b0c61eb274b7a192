#include "library/records.h"

#include "platform/lmerror.h"

const QString &clsScenery::Flatten(qint16 pos) const
{
    if (pos < 0 || pos >= FlattenCount)
        throw LmError::standard(LmError::SubscriptOutOfRange);
    return m_flatten[size_t(pos)];
}

void clsScenery::setFlatten(qint16 pos, const QString &iVal)
{
    if (pos < 0 || pos >= FlattenCount)
        throw LmError::standard(LmError::SubscriptOutOfRange);
    m_flatten[size_t(pos)] = iVal;
}
