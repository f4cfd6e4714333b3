#include "material/MaterialCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include "frontend/SourceKinds.h"

const QStringList& MaterialCheck::pictureSuffixes() {
    static const QStringList suffixes = {"jpg", "jpeg", "png", "tga", "bmp", "gif"};
    return suffixes;
}

bool MaterialCheck::isPicture(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        return false;
    }
    // Qt reads no TGA here while the studio does: the name is all we can go by.
    if (info.suffix().compare(QLatin1String("tga"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    return QImageReader(path).canRead();
}

bool MaterialCheck::folderHasPictures(const QString& path) {
    QStringList patterns;
    for (const QString& suffix : pictureSuffixes()) {
        patterns << QStringLiteral("*.") + suffix;
    }
    QDir dir(path);
    return dir.exists() && !dir.entryList(patterns, QDir::Files | QDir::Readable).isEmpty();
}

QString MaterialCheck::problem(const orbLiveImp::SoureParam& param, const QStringList& choices) {
    switch (param.type) {
        case SourceKinds::kMonitor:
            return choices.contains(param.value) ? QString() : tr("所选桌面已不可用，请重新选择");
        case SourceKinds::kWindow:
            return choices.contains(param.value) ? QString() : tr("所选窗口已关闭，请重新选择");
        case SourceKinds::kImage:
            return isPicture(param.value) ? QString() : tr("无法读取图片：%1").arg(param.value);
        case SourceKinds::kMedia:
            return QFileInfo(param.value).isFile() ? QString()
                                                   : tr("视频文件不存在：%1").arg(param.value);
        case SourceKinds::kSlideshow:
            return folderHasPictures(param.value) ? QString()
                                                  : tr("文件夹中没有图片：%1").arg(param.value);
        default:
            return QString();
    }
}
