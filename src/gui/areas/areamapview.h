#pragma once

#include <QGraphicsView>
#include <QList>
#include <QString>

#include <array>

// A world map of exclusion and flattening areas, to pan (drag) and zoom (wheel): the shown
// scenery's areas drawn strong, the other sceneries' faint, an area whose value fails its check
// dashed in red. A click on an area names its scenery (sceneryClicked).
class AreaMapView : public QGraphicsView
{
    Q_OBJECT
public:
    // One scenery's areas as stored: its Exclude value and its ten Flatten values.
    struct Areas
    {
        QString key;
        QString exclude;
        std::array<QString, 10> flatten;
    };

    explicit AreaMapView(QWidget *parent = nullptr);

    // The shown scenery (key "" for none) and the others.
    void setAreas(const Areas &shown, const QList<Areas> &others);
    // Shows the shown scenery's areas, or the whole world when it has none.
    void zoomToShown();
    // The areas drawn for the shown scenery (those whose corners could be read).
    int shownAreaCount() const { return m_shownAreas; }

signals:
    void sceneryClicked(const QString &key);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Adds one scenery's areas; returns their bounds on the map.
    QRectF addAreas(const Areas &areas, bool shown);

    QGraphicsScene m_scene;
    QList<QGraphicsItem *> m_areaItems;
    int m_shownAreas = 0;
    QRectF m_shownBounds;
    QPoint m_pressedAt;
    // What the view was last told to show; kept in view while the widget is laid out, until the
    // user moves or zooms the map.
    QRectF m_focus{-180, -90, 360, 180};
    bool m_userMoved = false;
};
