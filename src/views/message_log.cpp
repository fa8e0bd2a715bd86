#include "views/message_log.h"

#include "text/log_stamp.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace kv {

MessageLog::MessageLog(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("mem"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
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
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

} // namespace kv
