// The dialog behind the base-data lookups and the list window: the class's
// group tree on the left, its records on the right, a search by code or name
// above. Only records can be chosen: a group is opened, not picked. The
// caller reads the picked IDs after exec() returned Accepted.
//
// Child widgets carry object names for tests and scripts: "search" (the
// search box), "groups" (the tree), "rows" (the list), "message" (the notice
// line under the list).
#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "qt/dialogs/base_data_query.h"

class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace orva::qt {

class BaseDataPicker : public QDialog {
    Q_OBJECT

  public:
    // `multiple`: several records may be picked (the list window).
    BaseDataPicker(BaseDataQuery query, bool multiple, const QString& search,
                   QWidget* parent = nullptr);

    const std::vector<std::int32_t>& PickedIds() const { return picked_; }
    const BaseDataQuery& query() const { return query_; }

    // Searches at once (typing waits for a pause).
    void Search(const QString& text);
    // Shows the group's rows (0: the top) and selects it in the tree.
    void OpenGroup(std::int32_t groupId);

  public Q_SLOTS:
    // Takes the selected records; refuses (with a notice) when nothing or a
    // group is selected.
    void accept() override;

  private:
    // Parts of the dialog, built by the constructor.
    QHBoxLayout* BuildSearchBar(const QString& search);
    QSplitter* BuildLists(bool multiple);
    QDialogButtonBox* BuildButtons();
    void BuildGroups();
    void Refresh();
    void OnRowActivated(QTreeWidgetItem* item);
    void ShowNotice(const QString& text);
    const PickerGroup* CurrentGroup() const;

    BaseDataQuery query_;
    std::vector<PickerGroup> groups_;
    std::vector<std::int32_t> picked_;
    QLineEdit* search_;
    QTreeWidget* groupTree_;
    QTreeWidget* rows_;
    QLabel* message_;
    QTimer typing_;
};

}  // namespace orva::qt
