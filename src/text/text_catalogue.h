#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <initializer_list>
#include <optional>

namespace kv {

// One argument of MsgFmt: a text or a number. Numbers are inserted as their
// decimal text.
class MsgArg {
public:
    MsgArg(const QString& text) : text_(text) {}
    MsgArg(const char* text) : text_(QString::fromUtf8(text)) {}
    MsgArg(int value) : text_(QString::number(value)), integer_(value) {}
    MsgArg(unsigned value) : text_(QString::number(value)), integer_(value) {}
    MsgArg(long value) : text_(QString::number(value)), integer_(value) {}
    MsgArg(long long value) : text_(QString::number(value)), integer_(value) {}
    MsgArg(unsigned long value) : text_(QString::number(value)), integer_(qint64(value)) {}
    MsgArg(unsigned long long value) : text_(QString::number(value)), integer_(qint64(value)) {}
    MsgArg(double value) : text_(QString::number(value, 'g', 15)) {}

    const QString& text() const { return text_; }
    // The integer value, for "%d" and "%x"; empty for texts and fractions.
    std::optional<qint64> integer() const { return integer_; }

private:
    QString text_;
    std::optional<qint64> integer_;
};

// The German text catalogue: an INI text with the sections [Messages] (message
// key = text) and [frmVELQOR] (component.Caption or component.Hint = text).
// Values are kept raw, as stored; backslash-n turns into CR LF on lookup.
class TextCatalogue {
public:
    // Parses INI text. Returns false (and stays empty) if it is not INI text.
    bool loadFromData(const QByteArray& iniText);
    // Adds the [Messages] of another INI text; keys already present keep
    // their text.
    bool addMessages(const QByteArray& iniText);
    // Loads the German catalogue built into the program: the window's texts,
    // then the program's own messages (program.ini).
    bool loadBuiltIn();
    void clear();
    bool isLoaded() const { return loaded_; }

    // Raw value of a message key, or nothing when the key is missing.
    std::optional<QString> message(const QString& key) const;
    // The [frmVELQOR] entries in catalogue order, values raw.
    const QList<QPair<QString, QString>>& formEntries() const { return formEntries_; }
    // Raw value of one [frmVELQOR] entry, or nothing.
    std::optional<QString> formValue(const QString& name) const;

private:
    bool loaded_ = false;
    QHash<QString, QString> messages_; // keys lower-cased: lookups ignore case
    QList<QPair<QString, QString>> formEntries_;
};

// The program's one catalogue. It is empty until LoadTextCatalogue() runs;
// until then every lookup falls back to the key.
TextCatalogue& textCatalogue();
void LoadTextCatalogue();

// Backslash followed by n becomes CR LF.
QString expandLineBreaks(const QString& text);

// Inserts arguments into a format text with "%s", "%d", "%x" and "%%"
// placeholders (with optional "index:", "-" and width). Returns nothing when
// the arguments do not fit the placeholders, and for a width above 4096: such
// a placeholder is no placeholder, so the text stays as it is.
std::optional<QString> formatText(const QString& format, const QList<MsgArg>& args);

// The catalogue text of a message key with its arguments inserted. A missing
// key gives the key itself; a formatting error leaves the text unformatted.
// Never fails.
QString MsgFmt(const QString& key, const QList<MsgArg>& args);
QString Msg(const QString& key);

// The letter of channel 0 to 3: W, R, G or B; empty for any other index.
QString ChannelLetter(int channel);

} // namespace kv
