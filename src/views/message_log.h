#pragma once

#include <QDateTime>
#include <QPlainTextEdit>

namespace kv {

// The message log `mem`: read-only, no word wrap, growing for the life of the
// program. It opens with an introduction (the wiring warning); every line of
// an entry after it carries the time stamp of the moment it was logged.
class MessageLog : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MessageLog(QWidget* parent = nullptr);

    void LogMessage(const QString& text, const QDateTime& when = QDateTime::currentDateTime());

    // Replaces the introduction; entries logged so far stay after it.
    void setIntroduction(const QString& text);
    QString introduction() const { return introduction_; }

private:
    QString introduction_;
    int introductionBlocks_ = 0;
};

} // namespace kv
