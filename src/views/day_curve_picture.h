#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

namespace kv {

// The picture `img` of the visualisation tab: shows a drawn image one to one
// and reports the mouse on it in picture pixels. A cross-hair cursor stands
// over it.
class DayCurvePicture : public QWidget {
    Q_OBJECT
public:
    explicit DayCurvePicture(QWidget* parent = nullptr);

    // The image to draw into; sized to the widget by prepareImage().
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    // Gives the image the widget's size; false when the widget has none.
    bool prepareImage();

    QSize sizeHint() const override;

signals:
    void pressed(QPointF position);
    void moved(QPointF position);
    void released();
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;
};

} // namespace kv
