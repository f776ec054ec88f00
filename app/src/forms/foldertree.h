#pragma once
// A folder chooser: one tree of the file system's folders (no files) showing the chosen
// folder. It stands in for a drive list and its folder list: Linux has one tree of folders.
#include <QTreeView>

class QFileSystemModel;

namespace velmora {

class FolderTree final : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // The chosen folder.
    QString path() const { return path_; }
    // Chooses the folder; one that does not exist (any more) gives way to its nearest
    // existing parent, an empty or relative one to the user's home folder.
    void setPath(const QString& folder);

    // The folder that `setPath` would choose for that text.
    static QString nearestExistingFolder(const QString& folder);

signals:
    void pathChanged(const QString& path);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void showEvent(QShowEvent* event) override;

private:
    void reveal(const QModelIndex& index);

    QFileSystemModel* model_;
    QString path_;
};

}  // namespace velmora
