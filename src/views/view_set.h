#pragma once

#include "board/operation.h"
#include "views/enabling.h"

#include <QObject>
#include <QString>

#include <vector>

namespace kv {

class BoardService;
class ChannelNames;
class View;

// The views of the window in the order of its tabs. Connected once to the
// board service, it hands every record read or imported to each view in that
// order.
class ViewSet : public QObject {
    Q_OBJECT
public:
    explicit ViewSet(QObject* parent = nullptr) : QObject(parent) {}

    // Appends a view (the set does not own it: the tab widget does) and
    // returns it, typed as given. A view that is destroyed leaves the set.
    template <class V> V* add(V* view) {
        append(view);
        return view;
    }
    const std::vector<View*>& views() const { return views_; }
    View* find(const QString& sheetName) const;

    // Every record read or imported is shown by every view; after the
    // InfoBlock the channel names follow too. The program's own writes are
    // not shown again: a refresh after the user's own write would close the
    // grid's cell editor mid-typing. The chart comes with the ExpertBlock.
    void attach(BoardService& board, ChannelNames& names);

    // Shows the record in every view (the chart: nothing, see attach).
    void show(BoardRecord record);
    void showInfo();
    void showExpert();
    void showSchedule();
    void connectionChanged(bool connected);
    void applyEnabling(const ViewFacts& facts);
    void textsApplied();
    // The tab in front changed: tells the view that came to the front.
    void setFront(View* view);

signals:
    // After every view has shown the record.
    void infoShown();
    void expertShown();
    void scheduleShown();

private:
    void append(View* view);

    std::vector<View*> views_;
    ChannelNames* names_ = nullptr;
};

} // namespace kv
