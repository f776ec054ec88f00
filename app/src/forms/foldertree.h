#pragma once
// A folder chooser: one tree of the file system's folders (no files) showing the chosen
// folder. It stands in for a drive list and its folder list: Linux has one tree of folders.
#include <QPersistentModelIndex>
#include <QTreeView>

class QFileSystemModel;

namespace velmora {

class FolderTree final : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // The folder the user sees chosen: the one last set or picked, while it exists and is
    // selected; empty when none is (nothing else ever stands in for it).
    QString path() const;
    // Looks at the chosen folder again: one that did not exist when it was chosen and exists
    // now becomes the folder the user sees chosen.
    void recheck();
    // The folder last set or picked, whether or not it exists (any more): what a refusal names.
    QString chosenPath() const { return chosen_; }
    // Chooses the folder and shows it selected, scrolled into view once the folder lists
    // around it have loaded. A folder that does not exist leaves nothing selected; an empty
    // or relative one stands for the user's home folder.
    void setPath(const QString& folder);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void showEvent(QShowEvent* event) override;

private:
    QModelIndex chosenIndex() const;
    void reveal();
    void revealWhenLoaded(const QString& loadedFolder);
    void forgetSelection();

    QFileSystemModel* model_;
    QString chosen_;
    QPersistentModelIndex chosenRow_;  // its row, while the tree lists it
    bool selected_ = false;            // chosen_ is the folder the tree shows selected
    bool updating_ = false;            // the current row moves by the program's doing, not the user's
    bool chosenGoes_ = false;          // rows are leaving the model, the chosen folder among them
    bool revealPending_ = false;       // a list around the chosen folder has loaded, not yet sorted
};

}  // namespace velmora
