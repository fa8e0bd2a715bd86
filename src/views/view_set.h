#pragma once

#include "views/enabling.h"

#include <QObject>
#include <QString>

#include <vector>

namespace kv {

class BoardLink;
class ChannelNames;
class View;

// The views of the window in the order of its tabs. Connected once to the
// board link, it hands every read record to each view in that order.
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

    // Every read of a record is shown by every view; after the InfoBlock the
    // channel names follow too.
    void attach(BoardLink& link, ChannelNames& names);

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
