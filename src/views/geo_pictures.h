#pragma once

#include <QAbstractScrollArea>
#include <QLabel>

class QImage;

namespace kv {

// The world map `imgGeo`: a picture shown at scale 1 from its top left
// corner, with scroll bars when the view is smaller. It tells where the
// pointer is and where a button was pressed, in picture coordinates (scrolling
// taken into account; points beyond the picture are passed on as they are).
class WorldMapView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit WorldMapView(QWidget* parent = nullptr);

    // The picture to show (not owned; it must outlive the view or be
    // replaced). Call pictureChanged() after drawing on it.
    void setPicture(const QImage* picture);
    void pictureChanged();

    // The picture point under a point of the viewport.
    QPointF picturePoint(const QPoint& viewportPoint) const;

    QSize sizeHint() const override;

signals:
    void pointerMoved(QPointF picturePoint);
    void pressed(QPointF picturePoint);
    // The pointer left the map after it had moved over it.
    void left();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void updateScrollRanges();

    const QImage* picture_ = nullptr;
    bool pointerShown_ = false; // the pointer moved over the map since it last left
};

// The moon picture `imgMoon`: a label that tells of a double click.
class MoonPictureLabel : public QLabel {
    Q_OBJECT
public:
    explicit MoonPictureLabel(QWidget* parent = nullptr);

    void showPicture(const QImage& picture);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace kv
