#include "views/day_curve_picture.h"

#include <QMouseEvent>
#include <QPainter>

namespace kv {

DayCurvePicture::DayCurvePicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("img"));
    setCursor(Qt::CrossCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool DayCurvePicture::prepareImage() {
    if (width() <= 0 || height() <= 0)
        return false;
    if (image_.size() != size())
        image_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    return true;
}

QSize DayCurvePicture::sizeHint() const {
    return {640, 400};
}

void DayCurvePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (image_.isNull())
        painter.fillRect(event->rect(), Qt::black);
    else
        painter.drawImage(event->rect(), image_, event->rect());
}

void DayCurvePicture::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->position());
    event->accept();
}

void DayCurvePicture::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->position());
    event->accept();
}

void DayCurvePicture::mouseReleaseEvent(QMouseEvent* event) {
    emit released();
    event->accept();
}

void DayCurvePicture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

} // namespace kv
