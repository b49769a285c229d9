#include "platform/shellns/FileTypes.h"

#include "platform/base/TextCodec.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/shellns/FileNames.h"
#include "platform/gfx/QtBridge.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>

#include <map>
#include <mutex>
#include <unordered_map>

namespace {

struct TIconCache {
    std::mutex lock;
    TImageList small{16, 16};
    TImageList large{32, 32};
    std::map<std::string, int> indexByIconName;
    std::map<std::string, std::pair<std::string, std::string>> typeByMimeName; // comment, icon name
    // A name's type depends on the name alone: looked up once per name.
    std::unordered_map<std::string, const std::pair<std::string, std::string>*> typeByFileName;
    int overlays[3] = {-1, -1, -1};
};

TIconCache& cache() {
    static TIconCache instance;
    return instance;
}

const QMimeDatabase& database() {
    static const QMimeDatabase instance;
    return instance;
}

// An opaque-or-transparent copy of an icon picture at one size (the lists
// keep a transparency mask, not an alpha channel).
void addPicture(TImageList& list, const QImage& picture) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    QImage colours(image.size(), QImage::Format_RGB32);
    QImage mask(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QRgb pixel = image.pixel(x, y);
            colours.setPixel(x, y, pixel | 0xFF000000);
            mask.setPixel(x, y, qAlpha(pixel) >= 128 ? 0xFF000000 : 0xFFFFFFFF);
        }
    TBitmap bitmap, maskBitmap;
    SetBitmapImage(bitmap, colours);
    SetBitmapImage(maskBitmap, mask);
    list.Add(bitmap, &maskBitmap);
}

// A plain picture for when the theme has no icon (or no application
// exists to load one): a page or a folder shape.
QImage drawnIcon(int size, bool folder) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    int m = size / 8;
    if (folder) {
        painter.setPen(QColor(0x80, 0x60, 0x00));
        painter.setBrush(QColor(0xF0, 0xC8, 0x40));
        painter.drawRect(m, size / 4, size - 2 * m - 1, size - size / 4 - 2 * m);
        painter.drawRect(m, size / 4 - m, size / 3, m);
    } else {
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.setBrush(Qt::white);
        painter.drawRect(size / 5, m, size - 2 * (size / 5) - 1, size - 2 * m - 1);
    }
    return image;
}

QImage themePicture(const std::string& iconName, const std::string& fallbackName, int size, bool folder) {
    if (qGuiApp != nullptr) {
        if (QIcon::themeName().isEmpty() || QIcon::fallbackThemeName().isEmpty())
            QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
        QIcon icon = QIcon::fromTheme(QString::fromStdString(iconName));
        if (icon.isNull() && !fallbackName.empty())
            icon = QIcon::fromTheme(QString::fromStdString(fallbackName));
        if (!icon.isNull()) {
            QImage picture = icon.pixmap(size, size).toImage();
            if (!picture.isNull())
                return picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
    }
    return drawnIcon(size, folder);
}

QImage centred(const QImage& picture, int size) {
    if (picture.width() == size && picture.height() == size)
        return picture;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawImage((size - picture.width()) / 2, (size - picture.height()) / 2, picture);
    return image;
}

// The index of an icon name, loading it into both lists on first use.
int indexOfIcon(const std::string& iconName, const std::string& fallbackName, bool folder) {
    TIconCache& c = cache();
    std::lock_guard guard(c.lock);
    if (auto it = c.indexByIconName.find(iconName); it != c.indexByIconName.end())
        return it->second;
    int index = c.small.Count();
    addPicture(c.small, centred(themePicture(iconName, fallbackName, 16, folder), 16));
    addPicture(c.large, centred(themePicture(iconName, fallbackName, 32, folder), 32));
    c.indexByIconName.emplace(iconName, index);
    return index;
}

QImage overlayPicture(int size, int overlay) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    int box = size / 2;
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(0, size - box, box - 1, box - 1);
    painter.setPen(QPen(overlay == 2 ? QColor(0, 0, 0xC0) : QColor(0, 0x80, 0), std::max(1, size / 16)));
    if (overlay == 2) {
        // A small arrow leaving the corner: a link.
        painter.drawLine(2, size - 3, box - 3, size - box + 2);
        painter.drawLine(box - 3, size - box + 2, box - 3, size - box / 2);
        painter.drawLine(box - 3, size - box + 2, box - box / 2, size - box + 2);
    } else {
        painter.drawEllipse(2, size - box + 2, box - 5, box - 5);
    }
    return image;
}

// The comment and icon name of the type a file name has.
const std::pair<std::string, std::string>& typeOfName(std::string_view fileName) {
    TIconCache& c = cache();
    {
        std::lock_guard guard(c.lock);
        auto known = c.typeByFileName.find(std::string(fileName));
        if (known != c.typeByFileName.end())
            return *known->second;
    }
    QString name = QString::fromUtf8(DisplayTextOfName(fileName));
    QMimeType type = database().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    std::string key = type.name().toStdString();
    std::lock_guard guard(c.lock);
    auto it = c.typeByMimeName.find(key);
    if (it == c.typeByMimeName.end()) {
        std::string comment = type.isDefault() ? std::string() : type.comment().toStdString();
        std::string icon = type.iconName().toStdString() + "\n" + type.genericIconName().toStdString();
        it = c.typeByMimeName.emplace(key, std::make_pair(std::move(comment), std::move(icon))).first;
    }
    // The map's entries stay where they are; a long session's names are
    // forgotten now and then rather than kept without end.
    if (c.typeByFileName.size() > 200000)
        c.typeByFileName.clear();
    c.typeByFileName.emplace(std::string(fileName), &it->second);
    return it->second;
}

} // namespace

std::string TypeNameOf(std::string_view fileName, bool isFolder) {
    if (isFolder)
        return "Folder";
    const std::string& comment = typeOfName(fileName).first;
    if (!comment.empty()) {
        std::string text = comment;
        if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
            text[0] = static_cast<char>(text[0] - 'a' + 'A');
        return text;
    }
    std::string_view name = fileName;
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
        return "File";
    return UpperCase(DisplayTextOfName(name.substr(dot + 1))) + " File";
}

int IconIndexOf(std::string_view fileName, bool isFolder, bool open) {
    if (isFolder)
        return StandardIconIndex(open ? TStandardIcon::FolderOpen : TStandardIcon::Folder);
    const std::string& icons = typeOfName(fileName).second;
    size_t split = icons.find('\n');
    return indexOfIcon(icons.substr(0, split), icons.substr(split + 1), false);
}

int StandardIconIndex(TStandardIcon icon) {
    switch (icon) {
    case TStandardIcon::Folder: return indexOfIcon("folder", {}, true);
    case TStandardIcon::FolderOpen: return indexOfIcon("folder-open", "folder", true);
    case TStandardIcon::Home: return indexOfIcon("user-home", "folder", true);
    case TStandardIcon::Computer: return indexOfIcon("computer", "drive-harddisk", false);
    case TStandardIcon::Drive: return indexOfIcon("drive-harddisk", "folder", false);
    case TStandardIcon::RemoteDrive: return indexOfIcon("folder-remote", "drive-harddisk", true);
    case TStandardIcon::RemovableDrive: return indexOfIcon("drive-removable-media", "drive-harddisk", false);
    case TStandardIcon::Desktop: return indexOfIcon("user-desktop", "folder", true);
    case TStandardIcon::File: return indexOfIcon("text-x-generic", {}, false);
    }
    return 0;
}

TImageList& SystemImageList(bool large) {
    StandardIconIndex(TStandardIcon::Folder); // the lists never start empty
    return large ? cache().large : cache().small;
}

int OverlayImageIndex(int overlay) {
    if (overlay != 1 && overlay != 2)
        return -1;
    StandardIconIndex(TStandardIcon::Folder);
    TIconCache& c = cache();
    std::lock_guard guard(c.lock);
    if (c.overlays[overlay] < 0) {
        c.overlays[overlay] = c.small.Count();
        addPicture(c.small, overlayPicture(16, overlay));
        addPicture(c.large, overlayPicture(32, overlay));
    }
    return c.overlays[overlay];
}
