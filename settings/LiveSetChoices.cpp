#include "settings/LiveSetChoices.h"

#include <QComboBox>
#include <QRegularExpression>

namespace {

// The entries every fixed list falls back to: 1280 x 720, 1500 kbps, 30 fps, mp4.
constexpr int kDefaultResolution = 1;
constexpr int kDefaultBitrate = 1;
constexpr int kDefaultFps = 1;
constexpr int kDefaultFormat = 0;

QString sizeText(uint32_t width, uint32_t height) {
    return QStringLiteral("%1 x %2").arg(width).arg(height);
}

}  // namespace

void LiveSetChoices::tagWithLeadingText(QComboBox* box) {
    // Only the numbers before the note count: a translated note may hold blanks and digits.
    static const QRegularExpression note(QStringLiteral("[(\\x{ff08}]"));
    static const QRegularExpression number(QStringLiteral("\\d+"));
    for (int i = 0; i < box->count(); ++i) {
        const QString text = box->itemText(i);
        QStringList numbers;
        QRegularExpressionMatchIterator it = number.globalMatch(text.left(text.indexOf(note)));
        while (it.hasNext()) {
            numbers << it.next().captured(0);
        }
        box->setItemData(i, numbers.join(QStringLiteral(" x ")));
    }
}

void LiveSetChoices::fillDevices(QComboBox* box, const QList<AudioDeviceEntry>& devices) {
    for (const AudioDeviceEntry& device : devices) {
        box->addItem(device.name, device.id);
    }
}

bool LiveSetChoices::selectOrDefault(QComboBox* box, int found, int fallback) {
    box->setCurrentIndex(found >= 0 ? found : fallback);
    return found < 0;
}

bool LiveSetChoices::selectDevice(QComboBox* box, const QString& currentId, QString& pendingId) {
    // Nothing to choose from, or nothing chosen yet: the first entry without a change.
    if (box->count() == 0 || currentId.isEmpty()) {
        box->setCurrentIndex(box->count() == 0 ? -1 : 0);
        return false;
    }
    if (!selectOrDefault(box, box->findData(currentId), 0)) {
        return false;
    }
    pendingId = box->itemData(0).toString();
    return true;
}

bool LiveSetChoices::select(const Boxes& boxes, const LiveSettings& current,
                            LiveSettings& pending) {
    bool defaulted = false;
    QComboBox* box = boxes[kResolution];
    if (selectOrDefault(box,
                        box->findData(sizeText(current.width, current.height), Qt::UserRole,
                                      Qt::MatchFixedString),
                        kDefaultResolution)) {
        takeResolution(box->currentData().toString(), current, pending);
        defaulted = true;
    }
    box = boxes[kBitrate];
    if (selectOrDefault(box, box->findData(QString::number(current.bitrate)), kDefaultBitrate)) {
        pending.bitrate = box->currentData().toString().toUInt();
        defaulted = true;
    }
    box = boxes[kFps];
    if (selectOrDefault(box, box->findText(QString::number(current.fps)), kDefaultFps)) {
        pending.fps = box->currentText().toUInt();
        defaulted = true;
    }
    defaulted |= selectDevice(boxes[kMicrophone], current.microphone.id, pending.microphone.id);
    defaulted |= selectDevice(boxes[kSpeaker], current.desktop.id, pending.desktop.id);
    box = boxes[kRecordFormat];
    if (selectOrDefault(box, box->findText(current.recordFormat), kDefaultFormat)) {
        pending.recordFormat = box->currentText();
        defaulted = true;
    }
    return defaulted;
}

void LiveSetChoices::takeResolution(const QString& data, const LiveSettings& current,
                                    LiveSettings& pending) {
    pending.width = data.section(QLatin1Char(' '), 0, 0).toUInt();
    pending.height = data.section(QLatin1Char(' '), -1).toUInt();
    if (pending.width == current.width && pending.height == current.height) {
        pending.width = 0;
        pending.height = 0;
    }
}

void LiveSetChoices::take(uint8_t which, const QComboBox* box, const LiveSettings& current,
                          LiveSettings& pending) {
    const QString data = box->currentData().toString();
    const QString text = box->currentText();
    switch (which) {
        case kResolution:
            takeResolution(data, current, pending);
            break;
        case kBitrate:
            pending.bitrate = data.toUInt() == current.bitrate ? 0 : data.toUInt();
            break;
        case kFps:
            pending.fps = text.toUInt() == current.fps ? 0 : text.toUInt();
            break;
        case kMicrophone:
            pending.microphone.id = data == current.microphone.id ? QString() : data;
            break;
        case kSpeaker:
            pending.desktop.id = data == current.desktop.id ? QString() : data;
            break;
        case kRecordFormat:
            pending.recordFormat = text == current.recordFormat ? QString() : text;
            break;
        default:
            break;
    }
}
