#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace kv {

// An edit with its caption label, addressed as one component: the widget
// carries the edit's name, its caption is the label text, and the focus goes
// to the edit inside (so the focus rule sees the edit through the widget).
class LabelledEdit : public QWidget {
    Q_OBJECT
public:
    enum class LabelPosition { Above, Left };

    LabelledEdit(const QString& name, const QString& caption, QWidget* parent = nullptr,
                 LabelPosition position = LabelPosition::Above);

    QString caption() const;
    void setCaption(const QString& caption);

    QLineEdit* edit() const { return edit_; }
    QLabel* label() const { return label_; }

private:
    QLabel* label_;
    QLineEdit* edit_;
};

} // namespace kv
