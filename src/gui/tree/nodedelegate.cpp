#include "gui/tree/nodedelegate.h"

#include <QApplication>
#include <QPainter>

void NodeDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();

    const QBrush background = opt.backgroundBrush;
    opt.backgroundBrush = Qt::NoBrush;
    if (background.style() != Qt::NoBrush && !(opt.state & QStyle::State_Selected)) {
        QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const int width = opt.fontMetrics.horizontalAdvance(opt.text) + 6;
        text.setWidth(std::min(text.width(), width));
        painter->fillRect(text.adjusted(-1, 0, 0, 0), background);
    }
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}
