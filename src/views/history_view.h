#pragma once

#include "plot/history_picture.h"
#include "views/view.h"

#include <QDateTime>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QAbstractButton;
class QButtonGroup;
class QLabel;

namespace kv {

class HistoryFile;
class PictureBox;

// Where the history tab reads from.
struct HistoryViewOptions {
    // The history file; empty when the history is switched off.
    QString path;
    // The computer's clock in UTC milliseconds: the ranges end now.
    std::function<qint64()> now = &QDateTime::currentMSecsSinceEpoch;
    // How often the picture is read again while the tab is shown.
    int refreshMs = 60 * 1000;
};

// The history tab: the water temperature and the four levels of a range
// (6 hours to a year, chosen with a row of buttons) as the history picture
// draws them. It reads the history file over its own connection: the
// connected board's history, or without a board the one with the newest
// sample. It reads again when it is shown, when the range changes, on a
// click and once a minute while shown, never on a poll. Without a history
// it says why in one sentence. Nothing on it needs a board.
class HistoryView : public View {
    Q_OBJECT
public:
    // The ranges of the buttons, as relative moments of the history's words.
    static constexpr std::array<const char*, 5> RangeWords{"-6h", "-24h", "-7d", "-30d", "-1y"};
    static constexpr int DefaultRange = 1;

    HistoryView(ViewContext context, HistoryViewOptions options);
    ~HistoryView() override;

    void connectionChanged(bool connected) override;
    void textsApplied() override;

    // Chooses a range as its button does (0 for 6 hours ... 4 for a year).
    void chooseRange(int index);
    int range() const { return range_; }
    QAbstractButton* rangeButton(int index) const;
    PictureBox* picture() const { return imgHistory_; }
    // The sentence shown instead of the picture; hidden while there is one.
    QLabel* sentence() const { return lblHistoryState_; }
    const historyplot::HistoryPicture& shown() const { return picture_; }
    // How often the file was read: the tests count the reads.
    int reads() const { return reads_; }
    const QTimer& refreshTimer() const { return refresh_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Reads the range from the file and draws it.
    void reload();
    void draw();
    void showSentence(const QString& text);
    // The board whose history is shown, or -1 with the sentence shown.
    qint64 boardToShow();

    HistoryViewOptions options_;
    std::unique_ptr<HistoryFile> file_;
    historyplot::HistoryPicture picture_;
    QLabel* lblHistoryRange_ = nullptr;
    QLabel* lblHistoryBoard_ = nullptr;
    QLabel* lblHistoryState_ = nullptr;
    PictureBox* imgHistory_ = nullptr;
    QButtonGroup* ranges_ = nullptr;
    QTimer refresh_;
    int range_ = DefaultRange;
    int reads_ = 0;
};

} // namespace kv
