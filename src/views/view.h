#pragma once

#include "board/operation.h"
#include "views/enabling.h"

#include <QString>
#include <QWidget>

namespace kv {

class BoardService;
class ChannelNames;
class Reporter;

// What the window offers its views beyond the board service: nothing of its
// widgets, only a few services.
class ViewShell {
public:
    virtual ~ViewShell() = default;
    // Brings the tab of that sheet name ("tsConfig") to the front, as the
    // user would.
    virtual void showTab(const QString& sheetName) = 0;
    // A passing text in the first status panel, not logged (the map pointer).
    virtual void showPassingStatus(const QString& text) = 0;
    // Shows a record again in the window and every view, as after a read. A
    // view's own writes are not shown again by themselves (that would close
    // the editor the user types into); a flow that changed what other views
    // show asks for it.
    virtual void showRecordAgain(BoardRecord record) = 0;
};

// What every view is created with.
struct ViewContext {
    // The board: its records to read, its operations to call.
    BoardService& board;
    // The channels' names and tints, shared by every view that shows them.
    ChannelNames& channelNames;
    Reporter& reporter;
    ViewShell& shell;
};

// One tab of the main window: its sheet, its widgets, its refresh from the
// board's records and its own part of the enabling rules. The widget itself
// is the tab sheet and carries the sheet's name ("tsChannels").
//
// The window calls the refreshes after every read of a record (and when the
// program changed a record itself, as an import does), in the order of the
// tabs; each view writes only into controls the user is not working (see
// focus_rule.h). A view never changes the service's records in place: it
// hands a changed copy, or the value, to an operation.
class View : public QWidget {
    Q_OBJECT
public:
    View(ViewContext context, const QString& sheetName, const QString& designCaption);

    // The sheet's name and the English caption it is designed with (the
    // catalogue puts the German one on it at start).
    QString sheetName() const { return objectName(); }
    QString designCaption() const { return designCaption_; }

    // Refreshes after the InfoBlock, the ExpertBlock with the chart, and the
    // schedule were read or changed by the program.
    virtual void showInfo() {}
    virtual void showExpert() {}
    virtual void showSchedule() {}
    // The window entered the connected or the disconnected state.
    virtual void connectionChanged(bool connected) { Q_UNUSED(connected) }
    // Enables the view's controls by the rules: on every change of the
    // connection and after every read of the InfoBlock while connected.
    virtual void applyEnabling(const ViewFacts& facts) { Q_UNUSED(facts) }
    // The tab came to the front (the user chose it or the program showed it).
    virtual void activated() {}
    // The catalogue's texts are on the components: derived texts follow.
    virtual void textsApplied() {}

    // Whether this tab is the one in front.
    bool isFront() const { return front_; }
    void setFront(bool front) { front_ = front; }

protected:
    BoardService& board() const { return context_.board; }
    ChannelNames& channelNames() const { return context_.channelNames; }
    Reporter& reporter() const { return context_.reporter; }
    ViewShell& shell() const { return context_.shell; }

private:
    ViewContext context_;
    QString designCaption_;
    bool front_ = false;
};

} // namespace kv
