// Images by number, as the tree and toolbar models refer to them (0 = none).
// The default tree images are 1 closed group, 2 open group, 3 leaf; toolbar
// buttons that carry no image number get one chosen by their key.
#pragma once

#include <QIcon>
#include <QString>
#include <map>
#include <string_view>

namespace orva::qt {

class ImageList {
  public:
    void Set(int index, QIcon icon) { icons_[index] = std::move(icon); }
    // An empty icon for 0 and for numbers not in the list.
    QIcon Icon(int index) const;
    bool Has(int index) const { return icons_.count(index) != 0; }

    // 1 closed folder, 2 open folder, 3 document.
    static ImageList TreeImages();

  private:
    std::map<int, QIcon> icons_;
};

// The icon of a toolbar button by its key ("New", "Save", "Delete", "Exit",
// "Print", ...); keys without a picture of their own get a badge with the
// first letter of `caption` (or of the key).
QIcon ToolbarIcon(std::string_view key, const QString& caption);

}  // namespace orva::qt
