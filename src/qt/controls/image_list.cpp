#include "qt/controls/image_list.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <array>
#include <utility>

#include "qt/controls/qt_text.h"

namespace orva::qt {
namespace {

QIcon Standard(QStyle::StandardPixmap pixmap) {
    return QApplication::style()->standardIcon(pixmap);
}

// A rounded square in `color` with a letter: a picture for buttons the
// platform has no standard icon for.
QIcon Badge(const QString& letter, const QColor& color) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(color);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 5.0, size / 5.0);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(size * 5 / 8);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(pm.rect(), Qt::AlignCenter, letter);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

struct KeyIcon {
    const char* key;
    QStyle::StandardPixmap pixmap;
};

// Buttons of the module's toolbars that have a standard picture.
constexpr std::array<KeyIcon, 12> kStandard{{
    {"New", QStyle::SP_FileIcon},
    {"Save", QStyle::SP_DialogSaveButton},
    {"Delete", QStyle::SP_TrashIcon},
    {"Exit", QStyle::SP_DialogCloseButton},
    {"Fr", QStyle::SP_MediaSkipBackward},
    {"Pr", QStyle::SP_MediaSeekBackward},
    {"Ne", QStyle::SP_MediaSeekForward},
    {"La", QStyle::SP_MediaSkipForward},
    {"Check", QStyle::SP_DialogApplyButton},
    {"UnCheck", QStyle::SP_DialogResetButton},
    {"Modify", QStyle::SP_FileDialogDetailedView},
    {"Organization", QStyle::SP_DirHomeIcon},
}};

// Keys drawn as a letter badge, with their colour.
const std::pair<const char*, QColor> kBadges[] = {
    {"ICItem", QColor(0x2e, 0x7d, 0x32)}, {"SELowPrice", QColor(0xc6, 0x28, 0x28)},
    {"Find", QColor(0x15, 0x65, 0xc0)},   {"FindAll", QColor(0x15, 0x65, 0xc0)},
    {"Sort", QColor(0x6a, 0x1b, 0x9a)},   {"Filter", QColor(0x00, 0x83, 0x8f)},
    {"Print", QColor(0x45, 0x5a, 0x64)},  {"PrintView", QColor(0x45, 0x5a, 0x64)},
};

bool SameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

QString FirstLetter(const QString& text) {
    for (QChar c : text) {
        if (c.isLetterOrNumber())
            return QString(c).toUpper();
    }
    return QStringLiteral("?");
}

}  // namespace

QIcon ImageList::Icon(int index) const {
    auto it = icons_.find(index);
    return it == icons_.end() ? QIcon() : it->second;
}

ImageList ImageList::TreeImages() {
    ImageList images;
    images.Set(1, Standard(QStyle::SP_DirClosedIcon));
    images.Set(2, Standard(QStyle::SP_DirOpenIcon));
    images.Set(3, Standard(QStyle::SP_FileIcon));
    return images;
}

QIcon ToolbarIcon(std::string_view key, const QString& caption) {
    for (const KeyIcon& k : kStandard) {
        if (SameKey(k.key, key))
            return Standard(k.pixmap);
    }
    for (const auto& [name, color] : kBadges) {
        if (SameKey(name, key))
            return Badge(FirstLetter(caption.isEmpty() ? Q(key) : caption), color);
    }
    return Badge(FirstLetter(caption.isEmpty() ? Q(key) : caption), QColor(0x60, 0x7d, 0x8b));
}

}  // namespace orva::qt
