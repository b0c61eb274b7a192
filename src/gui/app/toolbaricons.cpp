#include "gui/app/toolbaricons.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

#include <functional>

namespace {

constexpr int Size = 24;

const QColor Ink(40, 52, 72);
const QColor Blue(38, 98, 196);
const QColor Green(34, 150, 60);
const QColor Red(200, 44, 44);

using Painter = std::function<void(QPainter &)>;

QIcon paint(const Painter &draw, int size = Size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / double(Size), size / double(Size));
    draw(p);
    p.end();
    return QIcon(pixmap);
}

void arrow(QPainter &p, QPointF tip, bool up, const QColor &color, double width = 12, double height = 7)
{
    const double dy = up ? height : -height;
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip.x() - width / 2, tip.y() + dy);
    path.lineTo(tip.x() + width / 2, tip.y() + dy);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
}

void bar(QPainter &p, double y, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(5, y, 14, 2.6), 1, 1);
}

void folder(QPainter &p, QRectF r = QRectF(2, 5, 18, 14))
{
    p.setPen(QPen(QColor(150, 110, 30), 1));
    p.setBrush(QColor(238, 196, 88));
    QPainterPath tab;
    tab.moveTo(r.left(), r.top() + 2);
    tab.lineTo(r.left(), r.top());
    tab.lineTo(r.left() + r.width() * 0.4, r.top());
    tab.lineTo(r.left() + r.width() * 0.5, r.top() + 2);
    tab.closeSubpath();
    p.drawPath(tab);
    p.setBrush(QColor(250, 214, 110));
    p.drawRoundedRect(r.adjusted(0, 2, 0, 0), 1.5, 1.5);
}

void page(QPainter &p, QRectF r = QRectF(4, 2, 14, 19), bool landscape = true)
{
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(Ink, 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    if (landscape) {
        QPainterPath hill;
        hill.moveTo(r.left() + 1.5, r.bottom() - 2);
        hill.lineTo(r.left() + 5, r.bottom() - 8);
        hill.lineTo(r.left() + 8, r.bottom() - 5);
        hill.lineTo(r.left() + 10, r.bottom() - 7);
        hill.lineTo(r.right() - 1.5, r.bottom() - 2);
        hill.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawPath(hill);
        p.setBrush(QColor(240, 190, 40));
        p.drawEllipse(QPointF(r.left() + 4.5, r.top() + 5), 1.8, 1.8);
    } else {
        p.setPen(QPen(QColor(120, 130, 150), 1));
        for (double y = r.top() + 5; y < r.bottom() - 2; y += 3)
            p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
    }
}

void stack(QPainter &p)
{
    const QColor fills[] = {QColor(170, 200, 240), QColor(140, 180, 235), QColor(100, 150, 225)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(Ink, 1));
        p.setBrush(fills[i]);
        p.drawRoundedRect(QRectF(2 + i * 2.5, 3 + i * 4, 13, 9), 1.5, 1.5);
    }
}

void disk(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(70, 100, 160));
    p.drawRoundedRect(QRectF(2.5, 2.5, 17, 17), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 2.5, 11, 6));
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(6, 12.5, 10, 7));
}

void drive(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(190, 196, 206));
    p.drawRoundedRect(QRectF(2, 9, 19, 9), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QPointF(17, 13.5), 1.5, 1.5);
}

void magnifier(QPainter &p, QPointF centre = QPointF(9.5, 9.5), double radius = 6)
{
    p.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.8, radius * 1.8));
    p.setPen(QPen(Ink, 1.6));
    p.setBrush(QColor(210, 230, 250));
    p.drawEllipse(centre, radius, radius);
}

// A round badge in the lower right corner carrying a sign.
enum class Sign { Plus, Minus, Cross, Pen, Undo, Right, Question, Down, Up, Check };

void badge(QPainter &p, Sign sign)
{
    const QRectF r(12, 12, 11, 11);
    QColor fill = Blue;
    switch (sign) {
    case Sign::Plus:
        fill = Green;
        break;
    case Sign::Minus:
    case Sign::Cross:
        fill = Red;
        break;
    case Sign::Check:
        fill = Green;
        break;
    case Sign::Down:
        fill = Green;
        break;
    default:
        break;
    }
    if (sign == Sign::Pen) {
        p.save();
        p.translate(17.5, 17.5);
        p.rotate(45);
        p.setPen(QPen(Ink, 0.8));
        p.setBrush(QColor(245, 170, 40));
        p.drawRect(QRectF(-2, -7, 4, 10));
        p.setBrush(QColor(250, 225, 190));
        QPainterPath tip;
        tip.moveTo(-2, 3);
        tip.lineTo(2, 3);
        tip.lineTo(0, 6.5);
        tip.closeSubpath();
        p.drawPath(tip);
        p.restore();
        return;
    }
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(fill);
    p.drawEllipse(r);
    const QPointF c = r.center();
    QPen white(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(white);
    p.setBrush(Qt::NoBrush);
    switch (sign) {
    case Sign::Plus:
        p.drawLine(c + QPointF(-3, 0), c + QPointF(3, 0));
        p.drawLine(c + QPointF(0, -3), c + QPointF(0, 3));
        break;
    case Sign::Minus:
        p.drawLine(c + QPointF(-3, 0), c + QPointF(3, 0));
        break;
    case Sign::Cross:
        p.drawLine(c + QPointF(-2.5, -2.5), c + QPointF(2.5, 2.5));
        p.drawLine(c + QPointF(-2.5, 2.5), c + QPointF(2.5, -2.5));
        break;
    case Sign::Undo:
        p.drawArc(QRectF(c.x() - 3, c.y() - 2.5, 6, 6), 90 * 16, -240 * 16);
        arrow(p, c + QPointF(-3.6, -1.2), false, Qt::white, 4, -3);
        break;
    case Sign::Right:
        p.drawLine(c + QPointF(-3, 0), c + QPointF(2, 0));
        p.drawLine(c + QPointF(0, -2.5), c + QPointF(2.6, 0));
        p.drawLine(c + QPointF(0, 2.5), c + QPointF(2.6, 0));
        break;
    case Sign::Down:
        p.drawLine(c + QPointF(0, -3), c + QPointF(0, 2));
        p.drawLine(c + QPointF(-2.5, 0), c + QPointF(0, 2.6));
        p.drawLine(c + QPointF(2.5, 0), c + QPointF(0, 2.6));
        break;
    case Sign::Up:
        p.drawLine(c + QPointF(0, 3), c + QPointF(0, -2));
        p.drawLine(c + QPointF(-2.5, 0), c + QPointF(0, -2.6));
        p.drawLine(c + QPointF(2.5, 0), c + QPointF(0, -2.6));
        break;
    case Sign::Check:
        p.drawLine(c + QPointF(-3, 0), c + QPointF(-1, 2.5));
        p.drawLine(c + QPointF(-1, 2.5), c + QPointF(3, -2.5));
        break;
    case Sign::Question: {
        QFont font = p.font();
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Sign::Pen:
        break;
    }
}

void letters(QPainter &p, const QString &text, const QColor &color)
{
    QFont font = p.font();
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(9, 13, 15, 10), Qt::AlignCenter, text);
}

const QHash<QString, Painter> &painters()
{
    static const QHash<QString, Painter> table = {
        {QStringLiteral("btnMoveFirst"),
         [](QPainter &p) {
             bar(p, 3.5, Blue);
             arrow(p, {12, 8}, true, Blue);
             arrow(p, {12, 14}, true, Blue);
         }},
        {QStringLiteral("btnMovePrevious"),
         [](QPainter &p) {
             arrow(p, {12, 6}, true, Blue, 14, 8);
             arrow(p, {12, 12}, true, Blue, 14, 8);
         }},
        {QStringLiteral("btnMoveNext"),
         [](QPainter &p) {
             arrow(p, {12, 18}, false, Blue, 14, 8);
             arrow(p, {12, 12}, false, Blue, 14, 8);
         }},
        {QStringLiteral("btnMoveLast"),
         [](QPainter &p) {
             arrow(p, {12, 10}, false, Blue);
             arrow(p, {12, 16}, false, Blue);
             bar(p, 18, Blue);
         }},
        {QStringLiteral("btnLevelAdd"),
         [](QPainter &p) {
             folder(p);
             badge(p, Sign::Plus);
         }},
        {QStringLiteral("btnLevelRemove"),
         [](QPainter &p) {
             folder(p);
             badge(p, Sign::Minus);
         }},
        {QStringLiteral("btnLevelRename"),
         [](QPainter &p) {
             folder(p);
             badge(p, Sign::Pen);
         }},
        {QStringLiteral("btnLevelSortAsc"),
         [](QPainter &p) {
             folder(p, QRectF(1, 1, 15, 12));
             letters(p, QStringLiteral("AZ"), Blue);
         }},
        {QStringLiteral("btnLevelSortDesc"),
         [](QPainter &p) {
             folder(p, QRectF(1, 1, 15, 12));
             letters(p, QStringLiteral("ZA"), Red);
         }},
        {QStringLiteral("btnMoveToLevel"),
         [](QPainter &p) {
             folder(p);
             badge(p, Sign::Right);
         }},
        {QStringLiteral("btnSearch"), [](QPainter &p) { magnifier(p); }},
        {QStringLiteral("btnSceneryAdd"),
         [](QPainter &p) {
             page(p);
             badge(p, Sign::Plus);
         }},
        {QStringLiteral("btnSceneryRemove"),
         [](QPainter &p) {
             page(p);
             badge(p, Sign::Minus);
         }},
        {QStringLiteral("btnSceneryRemoveUndo"),
         [](QPainter &p) {
             page(p);
             badge(p, Sign::Undo);
         }},
        {QStringLiteral("btnSceneryRename"),
         [](QPainter &p) {
             page(p);
             badge(p, Sign::Pen);
         }},
        {QStringLiteral("btnSceneryMoveHardDrive"),
         [](QPainter &p) {
             drive(p);
             badge(p, Sign::Right);
         }},
        {QStringLiteral("btnSceneryTestPath"),
         [](QPainter &p) {
             drive(p);
             badge(p, Sign::Check);
         }},
        {QStringLiteral("btnSetAdd"),
         [](QPainter &p) {
             stack(p);
             badge(p, Sign::Plus);
         }},
        {QStringLiteral("btnSetRemove"),
         [](QPainter &p) {
             stack(p);
             badge(p, Sign::Minus);
         }},
        {QStringLiteral("btnSetRename"),
         [](QPainter &p) {
             stack(p);
             badge(p, Sign::Pen);
         }},
        {QStringLiteral("btnTestLink"),
         [](QPainter &p) {
             stack(p);
             badge(p, Sign::Question);
         }},
        {QStringLiteral("btnSetCreateFromCurrent"),
         [](QPainter &p) {
             stack(p);
             badge(p, Sign::Down);
         }},
        {QStringLiteral("btnWizardUpdateFromCFG"),
         [](QPainter &p) {
             page(p, QRectF(4, 2, 14, 19), false);
             badge(p, Sign::Up);
         }},
        {QStringLiteral("btnInstallScenery"),
         [](QPainter &p) {
             page(p, QRectF(4, 2, 14, 19), false);
             badge(p, Sign::Plus);
         }},
        {QStringLiteral("btnBackupMake"),
         [](QPainter &p) {
             disk(p);
             badge(p, Sign::Plus);
         }},
        {QStringLiteral("btnBackupInstall"),
         [](QPainter &p) {
             disk(p);
             badge(p, Sign::Down);
         }},
        {QStringLiteral("btnBackupDelete"),
         [](QPainter &p) {
             disk(p);
             badge(p, Sign::Cross);
         }},
    };
    return table;
}

} // namespace

QIcon ToolbarIcons::button(const QString &key)
{
    const auto it = painters().constFind(key);
    if (it == painters().constEnd())
        return {};
    QIcon icon = paint(*it);
    icon.addPixmap(paint(*it, 48).pixmap(48), QIcon::Normal);
    return icon;
}

QIcon ToolbarIcons::bulb(bool lit)
{
    return paint([lit](QPainter &p) {
        const QColor glass = lit ? QColor(255, 214, 40) : QColor(215, 218, 224);
        if (lit) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 230, 120, 110));
            p.drawEllipse(QPointF(12, 9.5), 9.5, 9.5);
        }
        p.setPen(QPen(lit ? QColor(170, 120, 0) : QColor(130, 134, 142), 1.2));
        p.setBrush(glass);
        p.drawEllipse(QPointF(12, 9.5), 6, 6);
        p.setBrush(QColor(150, 150, 156));
        p.drawRoundedRect(QRectF(9, 15, 6, 5), 1, 1);
        p.drawLine(QPointF(9, 17.5), QPointF(15, 17.5));
    });
}

QIcon ToolbarIcons::warning()
{
    return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
}

QIcon ToolbarIcons::program()
{
    return paint(
        [](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(80, 150, 220));
            p.drawEllipse(QRectF(1, 1, 22, 22));
            QPainterPath land;
            land.moveTo(2.5, 15);
            land.lineTo(8, 9);
            land.lineTo(12, 13);
            land.lineTo(15, 10);
            land.lineTo(21.5, 15);
            land.arcTo(QRectF(1, 1, 22, 22), -20, -140);
            land.closeSubpath();
            p.setBrush(QColor(60, 160, 70));
            p.drawPath(land);
            p.setBrush(QColor(255, 220, 60));
            p.drawEllipse(QPointF(16.5, 6.5), 2.2, 2.2);
        },
        64);
}
