#include "text/text_catalogue.h"

#include <QFile>
#include <SimpleIni.h>

#include <exception>
#include <string>

static void initTextResource() {
    // The catalogue lives in a static library, so its resource must be
    // registered by hand.
    Q_INIT_RESOURCE(text);
}

namespace kv {

namespace {

const char* const MessagesSection = "Messages";
const char* const FormSection = "frmVELQOR";

QString fromIni(const char* text) {
    return QString::fromUtf8(text);
}

// The [Messages] of a parsed INI text, keys lower-cased; keys already there
// keep their text.
void takeMessages(const CSimpleIniA& ini, QHash<QString, QString>& messages) {
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(MessagesSection, keys);
    for (const auto& key : keys) {
        const QString name = fromIni(key.pItem).toLower();
        if (!messages.contains(name))
            messages.insert(name, fromIni(ini.GetValue(MessagesSection, key.pItem, "")));
    }
}

} // namespace

bool TextCatalogue::loadFromData(const QByteArray& iniText) {
    clear();
    CSimpleIniA ini;
    ini.SetUnicode(true);
    if (ini.LoadData(iniText.constData(), size_t(iniText.size())) < 0)
        return false;
    takeMessages(ini, messages_);

    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(FormSection, keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& key : keys)
        formEntries_.append(
            {fromIni(key.pItem), fromIni(ini.GetValue(FormSection, key.pItem, ""))});

    loaded_ = true;
    return true;
}

bool TextCatalogue::addMessages(const QByteArray& iniText) {
    CSimpleIniA ini;
    ini.SetUnicode(true);
    if (ini.LoadData(iniText.constData(), size_t(iniText.size())) < 0)
        return false;
    takeMessages(ini, messages_);
    return true;
}

bool TextCatalogue::loadBuiltIn() {
    initTextResource();
    QFile file(QStringLiteral(":/text/german.ini"));
    if (!file.open(QIODevice::ReadOnly) || !loadFromData(file.readAll()))
        return false;
    QFile program(QStringLiteral(":/text/program.ini"));
    return program.open(QIODevice::ReadOnly) && addMessages(program.readAll());
}

void TextCatalogue::clear() {
    loaded_ = false;
    messages_.clear();
    formEntries_.clear();
}

std::optional<QString> TextCatalogue::message(const QString& key) const {
    auto it = messages_.constFind(key.toLower());
    if (it == messages_.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<QString> TextCatalogue::formValue(const QString& name) const {
    for (const auto& entry : formEntries_)
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
            return entry.second;
    return std::nullopt;
}

TextCatalogue& textCatalogue() {
    static TextCatalogue catalogue;
    return catalogue;
}

void LoadTextCatalogue() {
    textCatalogue().loadBuiltIn();
}

QString expandLineBreaks(const QString& text) {
    QString result = text;
    result.replace(QLatin1String("\\n"), QLatin1String("\r\n"));
    return result;
}

namespace {

// Widths beyond this are no placeholder anyone writes; refusing them keeps a
// stray "%999999999s" from asking for gigabytes.
constexpr qsizetype MaxFieldWidth = 4096;

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Reads the decimal digits at position i (moving i past them). Nothing when
// there are none or their value exceeds limit.
std::optional<qsizetype> readDigits(const QString& format, qsizetype& i, qsizetype limit) {
    const qsizetype first = i;
    qsizetype value = 0;
    bool tooLarge = false;
    for (; i < format.size() && isAsciiDigit(format[i]); ++i) {
        if (!tooLarge)
            value = value * 10 + (format[i].unicode() - u'0');
        tooLarge = tooLarge || value > limit;
    }
    if (i == first || tooLarge)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<QString> formatText(const QString& format, const QList<MsgArg>& args) {
    QString out;
    qsizetype next = 0; // index of the argument the next placeholder takes
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (++i >= n)
            return std::nullopt;
        if (format[i] == u'%') {
            out += u'%';
            continue;
        }
        // Optional "index:" prefix; an index past the arguments is an error.
        qsizetype j = i;
        const auto index = readDigits(format, j, args.size());
        if (j < n && j > i && format[j] == u':') {
            if (!index)
                return std::nullopt;
            next = *index;
            i = j + 1;
        }
        bool leftAlign = false;
        if (i < n && format[i] == u'-') {
            leftAlign = true;
            ++i;
        }
        qsizetype width = 0;
        if (i < n && isAsciiDigit(format[i])) {
            const auto digits = readDigits(format, i, MaxFieldWidth);
            if (!digits)
                return std::nullopt;
            width = *digits;
        }
        if (i >= n)
            return std::nullopt;
        if (next >= args.size())
            return std::nullopt;
        const MsgArg& arg = args[next++];
        QString piece;
        switch (format[i].toLower().unicode()) {
        case u's':
            piece = arg.text();
            break;
        case u'd':
            if (!arg.integer())
                return std::nullopt;
            piece = QString::number(*arg.integer());
            break;
        case u'x':
            if (!arg.integer())
                return std::nullopt;
            piece = QString::number(*arg.integer(), 16).toUpper();
            break;
        default:
            return std::nullopt;
        }
        if (piece.size() < width)
            piece = leftAlign ? piece.leftJustified(width) : piece.rightJustified(width);
        out += piece;
    }
    return out;
}

QString MsgFmt(const QString& key, const QList<MsgArg>& args) {
    QString result = key;
    try {
        if (auto text = textCatalogue().message(key))
            result = *text;
        result = expandLineBreaks(result);
        if (auto formatted = formatText(result, args))
            result = *formatted;
    } catch (const std::exception&) {
        // A lookup must never fail: keep what was reached so far.
    }
    return result;
}

QString Msg(const QString& key) {
    return MsgFmt(key, {});
}

QString ChannelLetter(int channel) {
    static const QString letters = QStringLiteral("WRGB");
    if (channel < 0 || channel >= letters.size())
        return QString();
    return letters.mid(channel, 1);
}

} // namespace kv
