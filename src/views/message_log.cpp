#include "views/message_log.h"

#include "text/log_stamp.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace kv {

MessageLog::MessageLog(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("mem"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Nobody undoes a log; an undo history would keep every line ever logged.
    document()->setUndoRedoEnabled(false);
}

int MessageLog::entryLines() const {
    if (document()->isEmpty())
        return 0;
    return std::max(0, document()->blockCount() - introductionBlocks_);
}

void MessageLog::dropOldestEntries() {
    const int excess = entryLines() - MaxEntryLines;
    if (excess <= 0)
        return;
    // The first entry line follows the introduction; remove up to the start
    // of the first line that stays.
    const QTextBlock first = document()->findBlockByNumber(introductionBlocks_);
    const QTextBlock kept = document()->findBlockByNumber(introductionBlocks_ + excess);
    QTextCursor cursor(document());
    cursor.setPosition(first.position());
    cursor.setPosition(kept.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void MessageLog::setIntroduction(const QString& text) {
    const bool empty = document()->isEmpty();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    if (introductionBlocks_ > 0) {
        // Select the old introduction: its blocks up to the first entry.
        const QTextBlock last = document()->findBlockByNumber(introductionBlocks_ - 1);
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    }
    // A final line break ends the last line; it does not start another one.
    QString lines = text;
    if (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    cursor.insertText(lines);
    if (introductionBlocks_ == 0 && !empty)
        cursor.insertBlock(); // keep the entries on lines of their own
    cursor.endEditBlock();
    introduction_ = text;
    introductionBlocks_ = int(lines.count(QLatin1Char('\n'))) + 1;
}

void MessageLog::LogMessage(const QString& text, const QDateTime& when) {
    appendPlainText(stampLogText(text, when).join(QLatin1Char('\n')));
    dropOldestEntries();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

} // namespace kv
