#include "net/QueryTemplate.h"

#include <QRegularExpression>
#include <QUrl>
#include <QVector>
#include <algorithm>

namespace live {
namespace query {
namespace {

const QRegularExpression& placeholder() {
    static const QRegularExpression re(QStringLiteral("%(\\d{1,2})"));
    return re;
}

// Position of the n-th "&" (1-based); 0 for n == 0, -1 when there are fewer.
int nthAmpersand(const QString& text, int n) {
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        pos = text.indexOf(QLatin1Char('&'), i == 0 ? 0 : pos + 1);
        if (pos < 0) {
            return -1;
        }
    }
    return pos;
}

}  // namespace

QString fill(const QString& pattern, const QStringList& values) {
    QVector<int> numbers;
    auto it = placeholder().globalMatch(pattern);
    while (it.hasNext()) {
        const int n = it.next().captured(1).toInt();
        if (!numbers.contains(n)) {
            numbers.append(n);
        }
    }
    std::sort(numbers.begin(), numbers.end());

    QString out;
    int last = 0;
    it = placeholder().globalMatch(pattern);
    while (it.hasNext()) {
        const auto m = it.next();
        const int index = numbers.indexOf(m.captured(1).toInt());
        if (index >= values.size()) {
            continue;
        }
        out += pattern.midRef(last, m.capturedStart() - last);
        out += QString::fromLatin1(QUrl::toPercentEncoding(values.at(index)));
        last = m.capturedEnd();
    }
    out += pattern.midRef(last);
    return out;
}

QString trimOptional(const QString& filled, int given) {
    const int nth = nthAmpersand(filled, given);
    if (nth < 0) {
        return filled;
    }
    const int lastAmp = filled.lastIndexOf(QLatin1Char('&'));
    const int callback = filled.lastIndexOf(QStringLiteral("callback="));
    if (lastAmp < 0 || callback != lastAmp + 1) {
        return filled.left(nth);
    }
    // Keep the fields given, their "&", and the callback field at the end.
    return filled.left(given == 0 ? 0 : nth + 1) + filled.mid(lastAmp + 1);
}

}  // namespace query
}  // namespace live
