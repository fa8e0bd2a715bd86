#include "views/picture_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kv {

PictureBox::PictureBox(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PictureBox::setImage(const QImage& image) {
    image_ = image;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible())
        emit sizeChanged();
}

void PictureBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (image_.size() != size())
        emit sizeChanged();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kv
