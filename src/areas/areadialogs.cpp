#include "areas/areadialogs.h"

#include <algorithm>

namespace {
const QString ElevationCharacters = QStringLiteral("0123456789-");
}

QString filterElevationTyped(const QString &typed)
{
    QString kept;
    for (const QChar c : typed) {
        if (ElevationCharacters.contains(c))
            kept.append(c);
    }
    return kept;
}

ElevationEdit filterElevationEdit(const QString &before, const QString &after, qsizetype cursor)
{
    const qsizetype shorter = qMin(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == after.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    const QString inserted = after.mid(prefix, after.size() - prefix - suffix);
    const QString kept = filterElevationTyped(inserted);
    if (kept == inserted)
        return {after, cursor < 0 ? after.size() : cursor};
    if (kept.isEmpty())
        return {before, prefix};
    return {after.left(prefix) + kept + after.right(suffix), prefix + kept.size()};
}

void AreaDialogLogic::setHidden(bool hidden)
{
    if (m_hidden == hidden)
        return;
    m_hidden = hidden;
    emit hiddenChanged(hidden);
}

void AreaDialogLogic::confirmEmpty()
{
    // An empty area is no value: storing it would only leave a text no editor can show.
    bDelete = !m_openedEmpty;
    setHidden(true);
}

// ---- frmExclude

frmExclude::frmExclude(QObject *parent) : AreaDialogLogic(parent)
{
    usrExclude.setIsExclude(true);
}

QString frmExclude::classCaption(int index)
{
    static const std::array<QString, ClassCount> captions = {
        QStringLiteral("&Objects"), QStringLiteral("&VORs"), QStringLiteral("&NDBs"), QStringLiteral("&All")};
    return captions.at(std::size_t(index));
}

QString frmExclude::className(int index)
{
    static const std::array<QString, ClassCount> names = {QStringLiteral("objects"), QStringLiteral("vors"),
                                                          QStringLiteral("ndbs"), QStringLiteral("all")};
    return names.at(std::size_t(index));
}

bool frmExclude::isClassChecked(int index) const
{
    return m_classes.at(std::size_t(index));
}

void frmExclude::setClassChecked(int index, bool checked)
{
    if (m_classes.at(std::size_t(index)) == checked)
        return;
    m_classes[std::size_t(index)] = checked;
    if (checked) {
        // "All" and the single classes exclude each other.
        if (index == ClassAll)
            m_classes[0] = m_classes[1] = m_classes[2] = false;
        else
            m_classes[ClassAll] = false;
    }
    // All three single classes are "all".
    if (m_classes[0] && m_classes[1] && m_classes[2]) {
        m_classes[0] = m_classes[1] = m_classes[2] = false;
        m_classes[ClassAll] = true;
    }
    emit classesChanged();
}

void frmExclude::open()
{
    bDelete = false;
    setHidden(false);
    for (int i = 0; i < ClassCount; ++i)
        setClassChecked(i, false);
    m_unreadClasses.clear();
    m_openedEmpty = strExclude.isEmpty();
    usrExclude.setIsExclude(true);
    const QStringList items = strExclude.isEmpty() ? QStringList() : strExclude.split(QLatin1Char(','));
    // The fifth item may name any class, a sixth (and last) one of the three single classes.
    for (qsizetype i = 4; i < items.size(); ++i) {
        const int choices = i == 4 ? ClassCount : i == 5 && items.size() == 6 ? ClassAll : 0;
        int named = -1;
        for (int c = 0; c < choices; ++c) {
            if (items.at(i).toLower() == className(c))
                named = c;
        }
        if (named >= 0)
            setClassChecked(named, true);
        else if (!items.at(i).isEmpty())
            m_unreadClasses.append(items.at(i));
    }
    usrExclude.setArea(items.mid(0, 4).join(QLatin1Char(',')));
    strExclude.clear();
}

QStringList frmExclude::unreadItems() const
{
    const bool anyClass = std::find(m_classes.cbegin(), m_classes.cend(), true) != m_classes.cend();
    return anyClass ? usrExclude.unreadItems() : usrExclude.unreadItems() + m_unreadClasses;
}

void frmExclude::cmdOK_Click()
{
    if (usrExclude.isEmpty()) {
        strExclude.clear();
        confirmEmpty();
        return;
    }
    QStringList items{usrExclude.Area()};
    for (int i = 0; i < ClassCount; ++i) {
        if (m_classes.at(std::size_t(i)))
            items.append(className(i));
    }
    // Classes the boxes could not show stay until a box is checked in their place.
    if (items.size() == 1)
        items += m_unreadClasses;
    strExclude = items.join(QLatin1Char(','));
    setHidden(true);
}

void frmExclude::cmdCancel_Click()
{
    strExclude.clear();
    setHidden(true);
}

void frmExclude::cmdDelete_Click()
{
    bDelete = true;
    strExclude.clear();
    setHidden(true);
}

// ---- frmFlatten

frmFlatten::frmFlatten(QObject *parent) : AreaDialogLogic(parent)
{
    usrFlatten.setIsExclude(false);
}

ElevationEdit frmFlatten::editElevation(const QString &edited, qsizetype cursor)
{
    const ElevationEdit result = filterElevationEdit(m_elevation, edited, cursor);
    if (result.text != m_elevation) {
        m_elevation = result.text;
        emit elevationChanged();
    }
    return result;
}

void frmFlatten::open()
{
    bDelete = false;
    setHidden(false);
    m_openedEmpty = strFlatten.isEmpty();
    usrFlatten.setIsExclude(false);
    // Without a "," the whole value is the elevation and there are no points to show.
    const qsizetype comma = strFlatten.indexOf(QLatin1Char(','));
    m_elevation = comma < 0 ? strFlatten : strFlatten.left(comma);
    emit elevationChanged();
    usrFlatten.setArea(comma < 0 ? QString() : strFlatten.mid(comma + 1));
    strFlatten.clear();
}

void frmFlatten::cmdOK_Click()
{
    if (usrFlatten.isEmpty()) {
        strFlatten.clear();
        confirmEmpty();
        return;
    }
    strFlatten = m_elevation + QLatin1Char(',') + usrFlatten.Area();
    setHidden(true);
}

void frmFlatten::cmdCancel_Click()
{
    strFlatten.clear();
    setHidden(true);
}

void frmFlatten::cmdDelete_Click()
{
    bDelete = true;
    strFlatten.clear();
    setHidden(true);
}

// ---- the details panel's side

namespace {
template<typename Form>
std::optional<QString> editArea(UiPort &ui, const QString &fieldText, const QList<SceneryAreas> &others,
                                QString Form::*value)
{
    Form form;
    form.*value = fieldText;
    form.otherAreas = others;
    form.open();
    ui.showModal(form);
    if (form.bDelete)
        return QString();
    if (!(form.*value).isEmpty())
        return form.*value;
    return std::nullopt;
}
} // namespace

std::optional<QString> editExclude(UiPort &ui, const QString &fieldText, const QList<SceneryAreas> &others)
{
    return editArea(ui, fieldText, others, &frmExclude::strExclude);
}

std::optional<QString> editFlatten(UiPort &ui, const QString &fieldText, const QList<SceneryAreas> &others)
{
    return editArea(ui, fieldText, others, &frmFlatten::strFlatten);
}
