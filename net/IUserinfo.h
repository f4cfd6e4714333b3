#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>

namespace live {

// The signed-in user's nickname, phone and avatar; the avatar is kept as a circular
// 62 x 62 picture in the data directory.
class IUserinfo {
public:
    IUserinfo() = default;
    virtual ~IUserinfo() = default;
    IUserinfo(const IUserinfo&) = delete;
    IUserinfo& operator=(const IUserinfo&) = delete;

    // 3 for an empty nickname (nothing changes), else 0.
    virtual uint8_t setInfo(const QString& dataDirectory, const QString& nickname,
                            const QString& avatarUrl, const QString& phone);
    // The downloaded avatar image.
    void setImage(const QByteArray& data);
    // The avatar file once it holds the picture, the default avatar until then.
    void getDisplay(QString& nickname, QString& avatarPath) const;
    void clear();

    bool hasImage() const { return hasImage_.load(); }
    bool changed() const { return changed_.load(); }
    const QString& avatarUrl() const { return avatarUrl_; }
    const QString& avatarFile() const { return avatarFile_; }
    const QString& phone() const { return phone_; }

    static constexpr int kAvatarSize = 62;

private:
    // ".png" style suffix for the avatar file, taken from the address's last path segment.
    static QString suffixOf(const QString& url);

    QString nickname_;
    QString phone_;
    QString avatarUrl_;
    QString avatarFile_;
    QString defaultAvatar_ = QStringLiteral(":/image/userAvahost.png");
    std::atomic_bool changed_{false};
    std::atomic_bool hasImage_{false};
};

}  // namespace live
