// The task list and task details replies: unwrapped (JSONP "444(...)" or variant 1's
// callback) and read field by field as the task list reads them.
#include <QJsonArray>
#include <QJsonObject>

#include "fuzz/FuzzTarget.h"
#include "net/ListReply.h"

ORB_FUZZ_TARGET(listreply) {
    fuzz::Reader in(data, size);
    const int variant = in.byte() % 2;
    QJsonObject page;
    if (!live::ListReply::unwrap(in.rest(), variant, &page)) {
        return 0;
    }
    const QJsonArray rows = page.value(QStringLiteral("dataList")).toArray();
    page.value(QStringLiteral("pageSize")).toInt();
    page.value(QStringLiteral("totalRows")).toInt();
    page.value(QStringLiteral("curPage")).toInt();
    for (const QJsonValue& row : rows) {
        const QJsonObject task = row.toObject();
        for (const char* key : {"taskName", "startTime", "endTime", "push_url", "taskId",
                                "taskType", "disableClickableEndLiveBtnMsg"}) {
            task.value(QLatin1String(key)).toString();
            task.value(QLatin1String(key)).toInt();
        }
    }
    return 0;
}
