#include "views/view_set.h"

#include "board/board_service.h"
#include "views/channel_names.h"
#include "views/view.h"

namespace kv {

void ViewSet::append(View* view) {
    views_.push_back(view);
    connect(view, &QObject::destroyed, this, [this, view] { std::erase(views_, view); });
}

View* ViewSet::find(const QString& sheetName) const {
    for (View* view : views_)
        if (view->sheetName() == sheetName)
            return view;
    return nullptr;
}

void ViewSet::attach(BoardService& board, ChannelNames& names) {
    names_ = &names;
    connect(&board, &BoardService::recordChanged, this,
            [this](BoardRecord record, ChangeCause cause) {
                if (cause != ChangeCause::Write)
                    show(record);
            });
}

void ViewSet::show(BoardRecord record) {
    switch (record) {
    case BoardRecord::Info:
        showInfo();
        break;
    case BoardRecord::Expert:
        showExpert();
        break;
    case BoardRecord::Schedule:
        showSchedule();
        break;
    case BoardRecord::Chart:
        break;
    }
}

void ViewSet::showInfo() {
    for (View* view : views_)
        view->showInfo();
    if (names_)
        names_->ApplyChannelNames();
    emit infoShown();
}

void ViewSet::showExpert() {
    for (View* view : views_)
        view->showExpert();
    emit expertShown();
}

void ViewSet::showSchedule() {
    for (View* view : views_)
        view->showSchedule();
    emit scheduleShown();
}

void ViewSet::connectionChanged(bool connected) {
    for (View* view : views_)
        view->connectionChanged(connected);
}

void ViewSet::applyEnabling(const ViewFacts& facts) {
    for (View* view : views_)
        view->applyEnabling(facts);
}

void ViewSet::textsApplied() {
    for (View* view : views_)
        view->textsApplied();
}

void ViewSet::setFront(View* front) {
    for (View* view : views_)
        view->setFront(view == front);
    if (front)
        front->activated();
}

} // namespace kv
