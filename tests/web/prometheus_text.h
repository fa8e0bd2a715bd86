#pragma once

// A strict reader of Prometheus' text exposition format (version 0.0.4) for
// the tests of /metrics: it refuses what a scraper would refuse and what the
// format leaves to good manners, so that a test fails on the first line
// that is not right. Only what the program writes is allowed: HELP and TYPE
// once per family and before its first sample, the samples of a family
// together, label values with the format's three escapes, numbers as Go
// reads them, no timestamps, a line feed after every line.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QString>

#include <cmath>
#include <optional>

namespace kv::testing {

struct PromSample {
    QString name;
    QMap<QString, QString> labels;
    double value = 0;
};

struct PromFamily {
    QString type; // counter, gauge, ...
    QString help;
};

struct PromText {
    QMap<QString, PromFamily> families;
    QList<PromSample> samples;
    QString error; // the first fault, with its line; empty when the text is right

    bool ok() const { return error.isEmpty(); }
    // The samples of a name whose labels hold all of the given ones.
    QList<PromSample> find(const QString& name, const QMap<QString, QString>& labels = {}) const {
        QList<PromSample> found;
        for (const PromSample& sample : samples) {
            if (sample.name != name)
                continue;
            bool all = true;
            for (auto it = labels.begin(); it != labels.end(); ++it)
                all = all && sample.labels.value(it.key()) == it.value() &&
                      sample.labels.contains(it.key());
            if (all)
                found << sample;
        }
        return found;
    }
    // The one sample's value; nothing when there is none or more than one.
    std::optional<double> value(const QString& name,
                                const QMap<QString, QString>& labels = {}) const {
        const auto found = find(name, labels);
        if (found.size() != 1)
            return std::nullopt;
        return found.first().value;
    }
};

namespace prom {

inline const QRegularExpression MetricName(QStringLiteral("^[a-zA-Z_:][a-zA-Z0-9_:]*$"));
inline const QRegularExpression LabelName(QStringLiteral("^[a-zA-Z_][a-zA-Z0-9_]*$"));

// A number as Go's ParseFloat takes it, and the format's special values.
inline std::optional<double> number(const QString& text) {
    if (text == QLatin1String("NaN"))
        return std::nan("");
    if (text == QLatin1String("+Inf"))
        return INFINITY;
    if (text == QLatin1String("-Inf"))
        return -INFINITY;
    static const QRegularExpression decimal(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    return text.toDouble();
}

// Reads {name="value",...} from text at position at (just past the "{");
// at ends past the "}". False with the reason in error.
inline bool readLabels(const QString& text, qsizetype& at, QMap<QString, QString>& labels,
                       QString& error) {
    while (true) {
        if (at < text.size() && text[at] == QLatin1Char('}')) {
            ++at;
            return true;
        }
        const qsizetype equals = text.indexOf(QLatin1Char('='), at);
        if (equals < 0) {
            error = QStringLiteral("a label without =");
            return false;
        }
        const QString name = text.mid(at, equals - at);
        if (!LabelName.match(name).hasMatch() || name.startsWith(QLatin1String("__"))) {
            error = QStringLiteral("label name \"%1\"").arg(name);
            return false;
        }
        if (labels.contains(name)) {
            error = QStringLiteral("label %1 twice").arg(name);
            return false;
        }
        at = equals + 1;
        if (at >= text.size() || text[at] != QLatin1Char('"')) {
            error = QStringLiteral("label %1 without a quoted value").arg(name);
            return false;
        }
        ++at;
        QString value;
        bool closed = false;
        while (at < text.size()) {
            const QChar c = text[at++];
            if (c == QLatin1Char('"')) {
                closed = true;
                break;
            }
            if (c != QLatin1Char('\\')) {
                value += c;
                continue;
            }
            if (at >= text.size())
                break;
            const QChar escaped = text[at++];
            if (escaped == QLatin1Char('\\') || escaped == QLatin1Char('"'))
                value += escaped;
            else if (escaped == QLatin1Char('n'))
                value += QLatin1Char('\n');
            else {
                error = QStringLiteral("escape \\%1 in label %2").arg(escaped).arg(name);
                return false;
            }
        }
        if (!closed) {
            error = QStringLiteral("label %1's value is not closed").arg(name);
            return false;
        }
        labels.insert(name, value);
        if (at < text.size() && text[at] == QLatin1Char(',')) {
            ++at;
            continue;
        }
        if (at < text.size() && text[at] == QLatin1Char('}'))
            continue;
        error = QStringLiteral("after label %1: neither , nor }").arg(name);
        return false;
    }
}

} // namespace prom

inline PromText readPromText(const QByteArray& bytes) {
    PromText result;
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes) {
        result.error = QStringLiteral("not UTF-8");
        return result;
    }
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) {
        result.error = QStringLiteral("the last line has no line feed");
        return result;
    }
    QSet<QString> helped;
    QSet<QString> sampled;  // families with samples
    QSet<QString> finished; // families whose samples are over
    QString current;        // the family of the samples now
    QSet<QString> labelSets;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n + 1 < lines.size(); ++n) {
        const QString& line = lines[n];
        const auto fail = [&](const QString& why) {
            result.error = QStringLiteral("line %1 \"%2\": %3").arg(n + 1).arg(line, why);
            return result;
        };
        if (line.isEmpty() || line.contains(QLatin1Char('\r')))
            return fail(QStringLiteral("empty, or with a carriage return"));
        if (line.startsWith(QLatin1Char('#'))) {
            const QStringList words = line.split(QLatin1Char(' '));
            if (words.size() < 3 || words[0] != QLatin1String("#") ||
                (words[1] != QLatin1String("HELP") && words[1] != QLatin1String("TYPE")))
                continue; // a plain comment
            const QString& name = words[2];
            if (!prom::MetricName.match(name).hasMatch())
                return fail(QStringLiteral("metric name"));
            if (sampled.contains(name))
                return fail(QStringLiteral("HELP or TYPE after the family's samples"));
            if (words[1] == QLatin1String("HELP")) {
                if (helped.contains(name))
                    return fail(QStringLiteral("a second HELP"));
                helped.insert(name);
                const QString help = line.section(QLatin1Char(' '), 3);
                if (help.isEmpty())
                    return fail(QStringLiteral("HELP without text"));
                result.families[name].help = help;
            } else {
                static const QStringList types = {"counter", "gauge", "histogram", "summary",
                                                  "untyped"};
                if (words.size() != 4 || !types.contains(words[3]))
                    return fail(QStringLiteral("TYPE"));
                if (!result.families.value(name).type.isEmpty())
                    return fail(QStringLiteral("a second TYPE"));
                result.families[name].type = words[3];
            }
            continue;
        }

        PromSample sample;
        qsizetype at = 0;
        while (at < line.size() && line[at] != QLatin1Char('{') && line[at] != QLatin1Char(' '))
            ++at;
        sample.name = line.left(at);
        if (!prom::MetricName.match(sample.name).hasMatch())
            return fail(QStringLiteral("metric name"));
        if (at < line.size() && line[at] == QLatin1Char('{')) {
            ++at;
            QString error;
            if (!prom::readLabels(line, at, sample.labels, error))
                return fail(error);
        }
        // The label set in one order, to find a series given twice.
        QString labelText;
        for (auto it = sample.labels.begin(); it != sample.labels.end(); ++it)
            labelText += it.key() + QLatin1Char('\0') + it.value() + QLatin1Char('\0');
        if (at >= line.size() || line[at] != QLatin1Char(' '))
            return fail(QStringLiteral("no space before the value"));
        const QString rest = line.mid(at + 1);
        if (rest.contains(QLatin1Char(' ')))
            return fail(QStringLiteral("a timestamp or more after the value"));
        const auto value = prom::number(rest);
        if (!value)
            return fail(QStringLiteral("value"));
        sample.value = *value;

        // The family: a sample belongs to the TYPE of its own name.
        const QString& family = sample.name;
        if (result.families.value(family).type.isEmpty())
            return fail(QStringLiteral("a sample without its TYPE before it"));
        if (family != current) {
            if (finished.contains(family))
                return fail(QStringLiteral("the family's samples are not together"));
            if (!current.isEmpty())
                finished.insert(current);
            current = family;
            labelSets.clear();
        }
        if (labelSets.contains(labelText))
            return fail(QStringLiteral("the same labels twice"));
        labelSets.insert(labelText);
        sampled.insert(family);
        result.samples << sample;
    }
    return result;
}

} // namespace kv::testing
