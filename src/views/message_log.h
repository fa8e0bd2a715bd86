#pragma once

#include <QDateTime>
#include <QPlainTextEdit>

namespace kv {

// The message log `mem`: read-only, no word wrap. It opens with an
// introduction (the wiring warning); every line of an entry after it carries
// the time stamp of the moment it was logged. A program left running for
// months must not grow without limit: the log keeps the newest
// MaxEntryLines lines of entries (the oldest go first) and always the
// introduction.
class MessageLog : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int MaxEntryLines = 5000;

    explicit MessageLog(QWidget* parent = nullptr);

    // Lines of entries held now (the introduction not counted).
    int entryLines() const;

    void LogMessage(const QString& text, const QDateTime& when = QDateTime::currentDateTime());

    // Replaces the introduction; entries logged so far stay after it.
    void setIntroduction(const QString& text);
    QString introduction() const { return introduction_; }

private:
    void dropOldestEntries();

    QString introduction_;
    int introductionBlocks_ = 0;
};

} // namespace kv
