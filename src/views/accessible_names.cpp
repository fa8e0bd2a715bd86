#include "views/accessible_names.h"

#include "views/labelled_edit.h"

#include <QLineEdit>

namespace kv {

void nameAfterCaption(const LabelledEdit* edit, std::initializer_list<QWidget*> partners) {
    const QString name = edit->caption();
    edit->edit()->setAccessibleName(name);
    for (QWidget* partner : partners)
        partner->setAccessibleName(name);
}

} // namespace kv
