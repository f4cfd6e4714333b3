#pragma once

#include <QString>
#include <QStringList>

namespace live {
namespace query {

// Fills a parameter template's placeholders (%1, %2, ...) with the values in one pass,
// lowest placeholder number first, as QString::arg would. Each value is percent-encoded
// for a form body, so a value can neither add fields ("&", "=") nor be taken for another
// placeholder. Placeholders without a value stay as they are.
QString fill(const QString& pattern, const QStringList& values);

// Cuts a filled query down to its first `given` fields when optional values are missing;
// a trailing callback field is kept.
QString trimOptional(const QString& filled, int given);

}  // namespace query
}  // namespace live
