#include "views/setting_pairs.h"

#include "views/focus_rule.h"

#include <QLineEdit>

namespace kv {

void coupleEdit(QLineEdit* edit, std::function<std::optional<int>(QLineEdit*)> read,
                std::function<bool(int)> store, std::function<void()> write) {
    QObject::connect(
        edit, &QLineEdit::textChanged, edit,
        [edit, read = std::move(read), store = std::move(store), write = std::move(write)] {
            if (!focus::userIsWorking(edit))
                return;
            const std::optional<int> value = read(edit);
            if (value && store(*value))
                write();
        });
}

} // namespace kv
