#pragma once

#include "areas/usrarea.h"
#include "platform/uiport.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

// What is left of an edit of the elevation field: the characters the edit inserted (typed or
// pasted) are kept only when they are one of "0123456789-"; text that was already there stays.
// An edit that inserted nothing allowed is discarded as a whole, like a swallowed key.
struct ElevationEdit
{
    QString text;
    qsizetype cursor = 0;
};
QString filterElevationTyped(const QString &typed);
ElevationEdit filterElevationEdit(const QString &before, const QString &after, qsizetype cursor);

// Another scenery's areas as the library stores them, drawn faint behind the area being edited.
struct SceneryAreas
{
    QString key;
    QString exclude;
    std::array<QString, 10> flatten;
};

// What the exclusion and flattening dialogs share: the delete flag and hiding on OK, Cancel or
// Delete. The view closes itself when hidden turns true.
class AreaDialogLogic : public QObject, public FormLogic
{
    Q_OBJECT

public:
    using QObject::QObject;

    bool bDelete = false;
    // The other sceneries' areas, for the map only.
    QList<SceneryAreas> otherAreas;

    bool hidden() const { return m_hidden; }
    // The parts of the stored value the dialog could not show; OK keeps each one the user did not
    // replace.
    virtual QStringList unreadItems() const = 0;

    virtual void cmdOK_Click() = 0;
    virtual void cmdCancel_Click() = 0;
    virtual void cmdDelete_Click() = 0;

signals:
    void hiddenChanged(bool hidden);

protected:
    void setHidden(bool hidden);
    // OK on an editor whose area holds nothing: a value it opened on is deleted, else nothing is
    // stored; the dialog hides.
    void confirmEmpty();

    bool m_openedEmpty = true;

private:
    bool m_hidden = false;
};

// The exclusion dialog ("Exclude"): a rectangle of two points and up to two object classes.
class frmExclude : public AreaDialogLogic
{
    Q_OBJECT

public:
    explicit frmExclude(QObject *parent = nullptr);
    QString formName() const override { return QStringLiteral("frmExclude"); }

    // In: the value to edit. Out: the value to store, "" when nothing is to change.
    QString strExclude;
    usrArea usrExclude;

    // The class boxes 0 "&Objects", 1 "&VORs", 2 "&NDBs", 3 "&All".
    static constexpr int ClassCount = 4;
    static constexpr int ClassAll = 3;
    static QString classCaption(int index);
    static QString className(int index);
    bool isClassChecked(int index) const;
    // A box changed by the user (or by opening): the class rules run after it.
    void setClassChecked(int index, bool checked);

    // Fills the dialog from strExclude, showing what it can of the value.
    void open();
    QStringList unreadItems() const override;
    void cmdOK_Click() override;
    void cmdCancel_Click() override;
    void cmdDelete_Click() override;

signals:
    void classesChanged();

private:
    std::array<bool, ClassCount> m_classes{};
    QStringList m_unreadClasses; // class items naming no box, kept while no box is checked
};

// The flattening dialog ("Flatten"): an elevation and four points.
class frmFlatten : public AreaDialogLogic
{
    Q_OBJECT

public:
    explicit frmFlatten(QObject *parent = nullptr);
    QString formName() const override { return QStringLiteral("frmFlatten"); }

    QString strFlatten;
    usrArea usrFlatten;

    // txtElevation ("&MSL:").
    const QString &elevation() const { return m_elevation; }
    // The field after an edit by the user; characters it inserted outside "0123456789-" are
    // dropped. Returns what the field holds afterwards.
    ElevationEdit editElevation(const QString &edited, qsizetype cursor = -1);

    void open();
    QStringList unreadItems() const override { return usrFlatten.unreadItems(); }
    void cmdOK_Click() override;
    void cmdCancel_Click() override;
    void cmdDelete_Click() override;

signals:
    void elevationChanged();

private:
    QString m_elevation;
};

// The details panel's Exclude and Flatten buttons: show the editor on the field's text, with the
// other sceneries' areas on its map. The result is the new field text ("" after Delete), or
// nothing when the field stays as it was.
std::optional<QString> editExclude(UiPort &ui, const QString &fieldText,
                                   const QList<SceneryAreas> &others = {});
std::optional<QString> editFlatten(UiPort &ui, const QString &fieldText,
                                   const QList<SceneryAreas> &others = {});
