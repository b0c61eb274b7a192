#include "gui/areas/areamapview.h"

#include "areas/areamap.h"

#include <QFile>
#include <QGraphicsPathItem>
#include <QGraphicsPolygonItem>
#include <QMouseEvent>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr int KeyData = 0;

// The land, read once from the file the program carries; a map of sea alone if it cannot be read.
const QPainterPath &land()
{
    static const QPainterPath path = [] {
        QPainterPath result;
        result.setFillRule(Qt::OddEvenFill);
        QFile file(QStringLiteral(":/map/land.bin"));
        if (!file.open(QIODevice::ReadOnly))
            return result;
        const auto rings = AreaMap::readLand(file.readAll());
        if (!rings)
            return result;
        for (const QList<QPointF> &ring : *rings) {
            result.addPolygon(QPolygonF(ring));
            result.closeSubpath();
        }
        return result;
    }();
    return path;
}

} // namespace

AreaMapView::AreaMapView(QWidget *parent) : QGraphicsView(parent)
{
    setObjectName(QStringLiteral("mapAreas"));
    // The world, and one turn more to the east for the areas that reach across the date line.
    m_scene.setSceneRect(-180, -90, 540, 180);
    m_scene.setBackgroundBrush(QColor(200, 225, 245));
    auto *west = m_scene.addPath(land(), QPen(QColor(120, 140, 110), 0), QColor(235, 230, 205));
    auto *east = m_scene.addPath(land(), QPen(QColor(120, 140, 110), 0), QColor(235, 230, 205));
    east->setPos(360, 0);
    west->setZValue(0);
    east->setZValue(0);
    auto *dateLine = m_scene.addLine(180, -90, 180, 90, QPen(QColor(150, 170, 200), 0, Qt::DashLine));
    dateLine->setZValue(0.5);
    setScene(&m_scene);
    setRenderHint(QPainter::Antialiasing);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setToolTip(tr("Drag to move the map, turn the wheel to zoom; click an area to show its scenery"));
    setMinimumHeight(160);
}

QRectF AreaMapView::addAreas(const Areas &areas, bool shown)
{
    QRectF bounds;
    const auto add = [&](const std::optional<AreaMap::Shape> &shape, bool flatten, const QString &label) {
        if (!shape)
            return;
        const QColor colour = flatten ? QColor(30, 110, 200) : QColor(200, 60, 40);
        QPen pen(shape->wellFormed ? colour : QColor(220, 0, 0), 0);
        pen.setCosmetic(true);
        pen.setWidthF(shown ? 2.0 : 1.0);
        if (!shape->wellFormed)
            pen.setStyle(Qt::DashLine);
        QColor fill = colour;
        fill.setAlpha(shown ? 70 : 25);
        if (!shown)
            pen.setColor(QColor(pen.color().red(), pen.color().green(), pen.color().blue(), 110));
        auto *item = m_scene.addPolygon(QPolygonF(shape->corners), pen, fill);
        item->setZValue(shown ? 3 : 2);
        item->setData(KeyData, areas.key);
        item->setToolTip(areas.key.section(QLatin1Char('\\'), -1) + QStringLiteral(" - ") + label +
                         (shape->wellFormed ? QString() : tr(" (fails its check)")));
        m_areaItems.append(item);
        bounds = bounds.united(item->polygon().boundingRect()); // the pen, cosmetic, has no size on the map
        if (shown)
            ++m_shownAreas;
    };
    if (!areas.exclude.isEmpty())
        add(AreaMap::excludeShape(areas.exclude), false, QStringLiteral("Exclude"));
    for (std::size_t i = 0; i < areas.flatten.size(); ++i) {
        if (!areas.flatten[i].isEmpty())
            add(AreaMap::flattenShape(areas.flatten[i]), true, QStringLiteral("Flatten.%1").arg(i));
    }
    return bounds;
}

void AreaMapView::setAreas(const Areas &shown, const QList<Areas> &others)
{
    for (QGraphicsItem *item : std::as_const(m_areaItems)) {
        m_scene.removeItem(item);
        delete item;
    }
    m_areaItems.clear();
    m_shownAreas = 0;
    for (const Areas &areas : others) {
        if (areas.key != shown.key)
            addAreas(areas, false);
    }
    m_shownBounds = shown.key.isEmpty() ? QRectF() : addAreas(shown, true);
}

void AreaMapView::zoomToShown()
{
    const QRectF &bounds = m_shownBounds;
    m_userMoved = false;
    if (m_shownAreas == 0) {
        m_focus = QRectF(-180, -90, 360, 180);
    } else {
        // Some room around the areas, and never closer than a few kilometres.
        const double side = std::max({bounds.width(), bounds.height(), 0.05}) * 1.6;
        m_focus = QRectF(bounds.center() - QPointF(side, side) / 2, QSizeF(side, side));
    }
    fitInView(m_focus, Qt::KeepAspectRatio);
}

void AreaMapView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    if (!m_userMoved)
        fitInView(m_focus, Qt::KeepAspectRatio);
}

void AreaMapView::showEvent(QShowEvent *event)
{
    QGraphicsView::showEvent(event);
    if (!m_userMoved)
        fitInView(m_focus, Qt::KeepAspectRatio);
}

void AreaMapView::wheelEvent(QWheelEvent *event)
{
    const double factor = std::pow(1.0015, event->angleDelta().y());
    const double scale = transform().m11() * factor;
    // From the whole world down to a few hundred metres.
    if ((factor < 1 && scale < width() / 400.0) || (factor > 1 && scale > 200000.0))
        return;
    m_userMoved = true;
    this->scale(factor, factor);
    event->accept();
}

void AreaMapView::mousePressEvent(QMouseEvent *event)
{
    m_pressedAt = event->position().toPoint();
    m_userMoved = true;
    QGraphicsView::mousePressEvent(event);
}

void AreaMapView::mouseReleaseEvent(QMouseEvent *event)
{
    QGraphicsView::mouseReleaseEvent(event);
    // A click, not the end of a drag: the topmost area under the pointer names its scenery.
    if (event->button() != Qt::LeftButton ||
        (event->position().toPoint() - m_pressedAt).manhattanLength() > 4)
        return;
    for (QGraphicsItem *item : items(event->position().toPoint())) {
        const QString key = item->data(KeyData).toString();
        if (!key.isEmpty()) {
            emit sceneryClicked(key);
            return;
        }
    }
}
