#pragma once

#include <QImage>
#include <QWidget>

namespace kv {

// An area that shows a picture drawn elsewhere, at its top left corner and
// unscaled. It tells when the picture no longer fits its size (resized while
// visible, or shown after a resize while hidden) and when it was clicked: with
// the left mouse button, or with Space or Enter while it has the focus.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(const QString& name, QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

signals:
    void sizeChanged();
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage image_;
};

} // namespace kv
