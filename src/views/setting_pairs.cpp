#include "views/setting_pairs.h"

#include "board/board_service.h"
#include "views/focus_rule.h"

#include <QLineEdit>

namespace kv {

std::function<void(int)> applyToExpert(BoardService& board, FieldStore<ExpertBlock> store) {
    return [&board, store = std::move(store)](int value) {
        ExpertBlock expert = board.expert();
        if (store(expert, value))
            board.setExpert(expert);
    };
}

std::function<void(int)> applyToConfiguration(BoardService& board, FieldStore<InfoBlock> store) {
    return [&board, store = std::move(store)](int value) {
        InfoBlock configuration = board.info();
        if (store(configuration, value))
            board.setConfiguration(configuration);
    };
}

SliderEditPair* coupleExpertField(QAbstractSlider* slider, QLineEdit* edit, BoardService& board,
                                  FieldStore<ExpertBlock> store, std::function<QString(int)> text,
                                  std::function<std::optional<int>(QLineEdit*)> read,
                                  QObject* parent) {
    SliderEditPair::Rules rules;
    rules.text = std::move(text);
    rules.read = std::move(read);
    rules.apply = applyToExpert(board, std::move(store));
    return new SliderEditPair(slider, edit, std::move(rules), parent);
}

void coupleEdit(QLineEdit* edit, std::function<std::optional<int>(QLineEdit*)> read,
                std::function<void(int)> apply) {
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [edit, read = std::move(read), apply = std::move(apply)] {
                         if (!focus::userIsWorking(edit))
                             return;
                         if (const std::optional<int> value = read(edit))
                             apply(*value);
                     });
}

} // namespace kv
