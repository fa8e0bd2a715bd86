#include "views/history_view.h"

#include "board/board_service.h"
#include "history/history_file.h"
#include "history/history_store.h"
#include "history/history_time.h"
#include "text/text_catalogue.h"
#include "views/component_texts.h"
#include "views/picture_box.h"

#include <QButtonGroup>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kv {

namespace {

constexpr std::array<const char*, 5> RangeNames{"btnHistory6h", "btnHistory24h", "btnHistory7d",
                                                "btnHistory30d", "btnHistory1y"};
constexpr std::array<const char*, 5> RangeKeys{
    "HistoryRange6h", "HistoryRange24h", "HistoryRange7d", "HistoryRange30d", "HistoryRange1y"};

// A control's visible text is its name for assistive technology too.
void setCaption(QWidget* widget, const QString& text) {
    setComponentCaption(widget, text);
    widget->setAccessibleName(text);
}

} // namespace

HistoryView::HistoryView(ViewContext context, HistoryViewOptions options)
    : View(context, QStringLiteral("tsHistory"), QStringLiteral("History")),
      options_(std::move(options)) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    lblHistoryRange_ = new QLabel(this);
    lblHistoryRange_->setObjectName(QStringLiteral("lblHistoryRange"));
    row->addWidget(lblHistoryRange_);
    ranges_ = new QButtonGroup(this);
    for (std::size_t i = 0; i < RangeWords.size(); ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(RangeNames[i]));
        button->setCheckable(true);
        ranges_->addButton(button, int(i));
        row->addWidget(button);
    }
    ranges_->button(range_)->setChecked(true);
    row->addStretch(1);
    lblHistoryBoard_ = new QLabel(this);
    lblHistoryBoard_->setObjectName(QStringLiteral("lblHistoryBoard"));
    row->addWidget(lblHistoryBoard_);
    layout->addLayout(row);

    imgHistory_ = new PictureBox(QStringLiteral("imgHistory"), this);
    imgHistory_->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(imgHistory_, 1);
    lblHistoryState_ = new QLabel(this);
    lblHistoryState_->setObjectName(QStringLiteral("lblHistoryState"));
    lblHistoryState_->setAlignment(Qt::AlignCenter);
    lblHistoryState_->setWordWrap(true);
    lblHistoryState_->hide();
    layout->addWidget(lblHistoryState_, 1);
    textsApplied();

    connect(ranges_, &QButtonGroup::idClicked, this, &HistoryView::chooseRange);
    connect(imgHistory_, &PictureBox::clicked, this, &HistoryView::reload);
    connect(imgHistory_, &PictureBox::sizeChanged, this, &HistoryView::draw);
    refresh_.setInterval(options_.refreshMs);
    connect(&refresh_, &QTimer::timeout, this, &HistoryView::reload);
}

HistoryView::~HistoryView() = default;

void HistoryView::textsApplied() {
    // The window's catalogue has no entries for this tab: its texts are the
    // program's own.
    const QString caption = Msg(QStringLiteral("HistoryTabCaption"));
    setComponentCaption(this, caption);
    imgHistory_->setAccessibleName(caption);
    setCaption(lblHistoryRange_, Msg(QStringLiteral("HistoryRangeLabel")));
    for (std::size_t i = 0; i < RangeKeys.size(); ++i)
        setCaption(ranges_->button(int(i)), Msg(QString::fromLatin1(RangeKeys[i])));
}

QAbstractButton* HistoryView::rangeButton(int index) const {
    return ranges_->button(index);
}

void HistoryView::chooseRange(int index) {
    if (index < 0 || index >= int(RangeWords.size()))
        return;
    range_ = index;
    ranges_->button(index)->setChecked(true);
    reload();
}

void HistoryView::connectionChanged(bool) {
    // Another board, or none: the history shown may be another one.
    reload();
}

// Coming to the front shows the tab: it reads then.
void HistoryView::showEvent(QShowEvent* event) {
    View::showEvent(event);
    refresh_.start();
    reload();
}

void HistoryView::hideEvent(QHideEvent* event) {
    View::hideEvent(event);
    refresh_.stop();
}

void HistoryView::showSentence(const QString& text) {
    lblHistoryState_->setText(text);
    lblHistoryState_->setAccessibleName(text);
    imgHistory_->hide();
    lblHistoryState_->show();
}

qint64 HistoryView::boardToShow() {
    lblHistoryBoard_->clear();
    if (options_.path.isEmpty()) {
        showSentence(Msg(QStringLiteral("HistoryTabOff")));
        return -1;
    }
    if (!file_) {
        // A file that is missing now may be made later (by this window's
        // recorder or another program): tried again on every read.
        TextMessage refusal;
        file_ = HistoryFile::open(options_.path, false, &refusal);
        if (!file_) {
            showSentence(refusal.key == QLatin1String("HistoryMissing")
                             ? MsgFmt(QStringLiteral("HistoryTabNoFile"),
                                      {QDir::toNativeSeparators(options_.path)})
                             : refusal.text());
            return -1;
        }
    }
    if (board().isConnected()) {
        const QString serial = board().serialNumber();
        lblHistoryBoard_->setText(MsgFmt(QStringLiteral("HistoryTabBoard"), {serial}));
        const qint64 id = file_->knownBoardId(serial);
        if (id < 0)
            showSentence(MsgFmt(QStringLiteral("HistoryTabNoBoard"), {serial}));
        return id;
    }
    const qint64 id = newestBoard(*file_);
    if (id < 0)
        showSentence(Msg(QStringLiteral("HistoryTabEmpty")));
    return id;
}

void HistoryView::reload() {
    // A hidden tab reads when it is shown.
    if (!isVisible())
        return;
    ++reads_;
    const qint64 shownBoard = boardToShow();
    if (shownBoard < 0)
        return;
    const qint64 now = options_.now();
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(now);
    picture_.to = now;
    picture_.from = historyTimeOf(QString::fromLatin1(RangeWords[std::size_t(range_)]), moment)
                        .value_or(now - historykeep::HourMs);
    const historyplot::HistoryFrame frame(imgHistory_->size(), picture_.from, picture_.to);
    const int points = historyplot::pointCount(picture_.from, picture_.to, frame.plotWidth());
    picture_.bucketMs = historyplot::bucketLength(picture_.from, picture_.to, points);
    picture_.points = historyPoints(*file_, shownBoard, picture_.from, picture_.to, points, now);
    picture_.colorNames =
        board().isConnected() ? board().info().ColorName : std::array<std::uint8_t, 4>{};
    lblHistoryState_->hide();
    imgHistory_->show();
    draw();
}

void HistoryView::draw() {
    if (!imgHistory_->isVisible())
        return;
    imgHistory_->setImage(historyplot::drawHistory(picture_, imgHistory_->size()));
    imgHistory_->setAccessibleDescription(historyplot::historyDescription(picture_));
}

} // namespace kv
