#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace kv::help {

// The host of the maker's documentation site.
inline constexpr const char* DocumentationHost = "docs.kestlighting.example";

enum class Page { Hardware, Software, Faq };
// https address of a documentation page.
QUrl pageUrl(Page page);

// The command line that opens an address with a registered browser command:
// the command gets ` "%1"` appended when it holds no "%1", then every "%1"
// (case ignored) becomes the address. Empty when no command is registered.
QString browserCommandLine(const QString& registeredCommand, const QString& url);

// Opens the address in the default browser; reports nothing on failure. On
// Windows the command registered for "http" addresses is used when there is
// one; elsewhere (and without one) the desktop's own way of opening addresses.
void OpenUrl(const QUrl& url);

} // namespace kv::help
