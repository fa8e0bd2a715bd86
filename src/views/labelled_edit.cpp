#include "views/labelled_edit.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace kv {

LabelledEdit::LabelledEdit(const QString& name, const QString& caption, QWidget* parent,
                           LabelPosition position)
    : QWidget(parent), label_(new QLabel(caption, this)), edit_(new QLineEdit(this)) {
    setObjectName(name);
    label_->setBuddy(edit_);
    setFocusProxy(edit_);

    QBoxLayout* layout = position == LabelPosition::Above
                             ? static_cast<QBoxLayout*>(new QVBoxLayout(this))
                             : static_cast<QBoxLayout*>(new QHBoxLayout(this));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(label_);
    layout->addWidget(edit_);
}

QString LabelledEdit::caption() const {
    return label_->text();
}

void LabelledEdit::setCaption(const QString& caption) {
    label_->setText(caption);
}

} // namespace kv
