#include "net/IUserinfo.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include "core/ErrorCode.h"
#include "core/Log.h"
#include "core/LogRedact.h"

namespace live {

uint8_t IUserinfo::setInfo(const QString& dataDirectory, const QString& nickname,
                           const QString& avatarUrl, const QString& phone) {
    if (nickname.isEmpty()) {
        return kBadData;
    }
    if (nickname != nickname_) {
        nickname_ = nickname;
        changed_.exchange(true);
    }
    if (phone != phone_) {
        phone_ = phone;
        changed_.exchange(true);
    }
    if (avatarUrl.isEmpty() || avatarUrl == avatarUrl_) {
        return kSuccess;
    }
    avatarUrl_ = avatarUrl;
    avatarFile_ = dataDirectory + QStringLiteral("avatar") + suffixOf(avatarUrl);
    hasImage_.exchange(false);
    changed_.exchange(true);
    return kSuccess;
}

QString IUserinfo::suffixOf(const QString& url) {
    // A query string or a dot in the host name must not become part of the file name.
    const QString path = QUrl(url).path();
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QStringLiteral(".png") : name.mid(dot);
}

void IUserinfo::setImage(const QByteArray& data) {
    if (avatarFile_.isEmpty()) {
        // A download that finishes after sign-out has nowhere to go.
        log::warn("{}: no avatar address set, picture dropped", "live::IUserinfo::setImage");
        return;
    }
    QImage round(kAvatarSize, kAvatarSize, QImage::Format_ARGB32_Premultiplied);
    round.fill(Qt::transparent);
    if (QFile::exists(avatarFile_)) {
        QFile::remove(avatarFile_);
    }
    const QString format = avatarFile_.mid(avatarFile_.lastIndexOf(QLatin1Char('.')) + 1);
    QImage source;
    if (!source.loadFromData(data, format.toLatin1().constData())) {
        hasImage_.exchange(false);
        log::error("{}: avatar download failed, url: {}", "live::IUserinfo::setImage",
                   LogRedact::url(avatarUrl_));
        return;
    }
    const QImage scaled =
        source.scaled(kAvatarSize, kAvatarSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    {
        QPainter painter(&round);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        QPainterPath circle;
        circle.addEllipse(0, 0, kAvatarSize, kAvatarSize);
        painter.setClipPath(circle);
        painter.drawImage(0, 0, scaled);
    }
    if (!round.save(avatarFile_)) {
        hasImage_.exchange(false);
        log::error("{}: cannot save the avatar to {}", "live::IUserinfo::setImage", avatarFile_);
        return;
    }
    hasImage_.exchange(true);
}

void IUserinfo::getDisplay(QString& nickname, QString& avatarPath) const {
    nickname = nickname_;
    avatarPath = hasImage_.load() ? avatarFile_ : defaultAvatar_;
}

void IUserinfo::clear() {
    nickname_.clear();
    avatarUrl_.clear();
    avatarFile_.clear();
    changed_.exchange(false);
    hasImage_.exchange(false);
}

}  // namespace live
