#include "forms/foldertree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>

#include <utility>

namespace velmora {

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this)) {
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    // The model reads folders in the background: the chosen one is put in view again once
    // each list around it has loaded.
    connect(model_, &QFileSystemModel::directoryLoaded, this, &FolderTree::revealWhenLoaded);
    // A chosen folder that goes away leaves nothing selected: the selection does not move on
    // to a neighbour, which the user did not choose. Connected before the view's own
    // selection handling, so that the move it then makes is known for the program's.
    connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                updating_ = true;
                for (QModelIndex at = chosenRow_; at.isValid(); at = at.parent())
                    if (at.parent() == parent && at.row() >= first && at.row() <= last) chosenGoes_ = true;
            });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] {
        updating_ = false;
        if (std::exchange(chosenGoes_, false)) forgetSelection();
    });
    model_->setRootPath(QDir::rootPath());
    setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) hideColumn(column);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(true);
    // The model puts newly read rows in their order a moment after it has read them; the
    // view lays them out anew after that.
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] {
        if (std::exchange(revealPending_, false)) QTimer::singleShot(0, this, &FolderTree::reveal);
    });
}

QString FolderTree::path() const { return selected_ && QFileInfo(chosen_).isDir() ? chosen_ : QString(); }

void FolderTree::recheck() {
    if (!selected_ && !chosen_.isEmpty() && QFileInfo(chosen_).isDir()) setPath(chosen_);
}

QModelIndex FolderTree::chosenIndex() const { return selected_ ? model_->index(chosen_) : QModelIndex(); }

void FolderTree::reveal() {
    const QModelIndex index = chosenIndex();
    if (!index.isValid()) return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) expand(parent);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FolderTree::revealWhenLoaded(const QString& loadedFolder) {
    if (!selected_) return;
    // The list of the chosen folder's parent or of a folder above it: rows before it move.
    const QString folder = QDir::cleanPath(loadedFolder);
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    if (chosen_ != folder && !chosen_.startsWith(prefix)) return;
    reveal();
    revealPending_ = true;  // and again once the new rows are in their order
    QTimer::singleShot(0, this, &FolderTree::reveal);
}

void FolderTree::forgetSelection() {
    selected_ = false;
    chosenRow_ = QPersistentModelIndex();
    updating_ = true;
    clearSelection();
    setCurrentIndex(QModelIndex());
    updating_ = false;
}

void FolderTree::showEvent(QShowEvent* event) {
    QTreeView::showEvent(event);
    reveal();
}

void FolderTree::setPath(const QString& folder) {
    chosen_ = folder.isEmpty() || QDir::isRelativePath(folder) ? QDir::homePath() : QDir::cleanPath(folder);
    forgetSelection();
    if (!QFileInfo(chosen_).isDir()) return;
    // An existing folder stays chosen as given, also one the tree does not list (a hidden
    // one), which then shows no row selected.
    selected_ = true;
    const QModelIndex index = model_->index(chosen_);
    if (!index.isValid()) return;
    chosenRow_ = index;
    updating_ = true;
    setCurrentIndex(index);
    updating_ = false;
    reveal();
}

void FolderTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (updating_ || !current.isValid()) return;
    const QString picked = model_->filePath(current);
    if (picked.isEmpty()) return;
    chosen_ = picked;
    chosenRow_ = current;
    selected_ = true;
}

}  // namespace velmora
