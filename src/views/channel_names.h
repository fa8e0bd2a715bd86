#pragma once

#include <QColor>
#include <QObject>
#include <QRgb>
#include <QString>

namespace kv {

struct InfoBlock;

// The names and tints of the four channels ("R: Rot"), taken from the colour
// indexes of the in-memory InfoBlock. Every view that shows channel names or
// tints follows changed() and updates its own widgets.
class ChannelNames : public QObject {
    Q_OBJECT
public:
    explicit ChannelNames(const InfoBlock& info, QObject* parent = nullptr);

    // The colour index as the colour table reads it (0 for one outside it).
    int colorIndex(int channel) const;
    QString name(int channel) const;
    // The tint of the channel's edits and cells, as window colour.
    QColor tint(int channel) const;
    QRgb curveColor(int channel) const;
    QRgb curveShade(int channel) const;

    // Tells every view to show the names and tints again: after every read
    // of the InfoBlock, after a colour was chosen, after columns were pasted
    // or swapped.
    void ApplyChannelNames() { emit changed(); }

signals:
    void changed();

private:
    const InfoBlock& info_;
};

} // namespace kv
