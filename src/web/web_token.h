#pragma once

#include <QByteArray>
#include <QString>

namespace kv::web {

// The shortest token a token file may hold.
inline constexpr int ShortestToken = 16;

// The token of the web page: read from a file the user names, or generated
// once into the user's config folder.
struct TokenFile {
    QByteArray token;     // empty on failure
    bool created = false; // generated just now (to be shown once)
    QString error;        // why there is no token
};

// The first line of a file the user named, without surrounding white space.
// Refused: a missing or irregular file, and a token shorter than
// ShortestToken or with characters outside printable ASCII.
TokenFile readTokenFile(const QString& path);

// The token in path, generated there first when the file does not exist yet:
// 32 random bytes as base64url, in a file only the user may read (mode 0600,
// its folder made with mode 0700).
TokenFile ensureTokenFile(const QString& path);

// Where ensureTokenFile keeps the token by default:
// ~/.config/kestvelqor/web-token (or under $XDG_CONFIG_HOME).
QString defaultTokenPath();

// Whether a file can be read by others than its owner (group or world bits).
bool readableByOthers(const QString& path);

} // namespace kv::web
