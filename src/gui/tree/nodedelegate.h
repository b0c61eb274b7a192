#pragma once

#include <QStyledItemDelegate>

// Paints a node's background colour behind its text only, the way a tree control marks a label,
// instead of across the whole row; the check box and the branch lines stay on the view's colour.
class NodeDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
