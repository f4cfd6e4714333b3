#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// Windows the share lists leave out: titles containing a keyword, and exact titles, both
// read from the filter file.
class WindowFilter {
public:
    // Replaces both lists when the file holds "windows" with "keyword" and "name" arrays;
    // a missing or broken file is logged with `tag` and changes nothing.
    void load(const QString& path, const char* tag);

    // Keeps `names` and `values` aligned.
    void apply(QStringList& names, QList<QVariant>& values) const;

    const QStringList& keywords() const { return keywords_; }
    const QStringList& names() const { return names_; }

private:
    QStringList keywords_;
    QStringList names_;
};
