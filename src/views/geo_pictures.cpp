#include "views/geo_pictures.h"

#include "views/moon_phase.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

namespace kv {

WorldMapView::WorldMapView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    // The pointer is a crosshair over the map and the usual arrow elsewhere.
    viewport()->setCursor(Qt::CrossCursor);
    viewport()->setAutoFillBackground(true);
}

void WorldMapView::setPicture(const QImage* picture) {
    picture_ = picture;
    updateScrollRanges();
    updateGeometry();
    viewport()->update();
}

void WorldMapView::pictureChanged() {
    viewport()->update();
}

QPointF WorldMapView::picturePoint(const QPoint& viewportPoint) const {
    return QPointF(viewportPoint.x() + horizontalScrollBar()->value(),
                   viewportPoint.y() + verticalScrollBar()->value());
}

QSize WorldMapView::sizeHint() const {
    const QSize picture = picture_ ? picture_->size() : QSize(200, 100);
    const int frame = 2 * frameWidth();
    return picture + QSize(frame, frame);
}

void WorldMapView::paintEvent(QPaintEvent*) {
    if (!picture_)
        return;
    QPainter painter(viewport());
    painter.drawImage(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()),
                      *picture_);
}

void WorldMapView::mousePressEvent(QMouseEvent* event) {
    emit pressed(picturePoint(event->position().toPoint()));
}

void WorldMapView::mouseMoveEvent(QMouseEvent* event) {
    pointerShown_ = true;
    emit pointerMoved(picturePoint(event->position().toPoint()));
}

void WorldMapView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

bool WorldMapView::viewportEvent(QEvent* event) {
    // Qt also says Leave when the map's page is hidden or the window appears
    // under a pointer that rests: only a pointer that moved over the map
    // (and so showed where it is) leaves it.
    if (event->type() == QEvent::Leave && pointerShown_) {
        pointerShown_ = false;
        emit left();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void WorldMapView::updateScrollRanges() {
    const QSize picture = picture_ ? picture_->size() : QSize();
    const QSize shown = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, picture.width() - shown.width()));
    horizontalScrollBar()->setPageStep(shown.width());
    verticalScrollBar()->setRange(0, std::max(0, picture.height() - shown.height()));
    verticalScrollBar()->setPageStep(shown.height());
}

MoonPictureLabel::MoonPictureLabel(QWidget* parent) : QLabel(parent) {
    setFixedSize(moonphase::PictureSize, moonphase::PictureSize);
}

void MoonPictureLabel::showPicture(const QImage& picture) {
    setPixmap(QPixmap::fromImage(picture));
}

void MoonPictureLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

} // namespace kv
