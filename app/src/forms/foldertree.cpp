#include "forms/foldertree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>

namespace velmora {

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this)) {
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QDir::rootPath());
    setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) hideColumn(column);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(true);
    // The model reads folders in the background: keep the chosen one in view as they arrive.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (currentIndex().isValid()) reveal(currentIndex());
    });
}

QString FolderTree::nearestExistingFolder(const QString& folder) {
    if (folder.isEmpty() || QDir::isRelativePath(folder)) return QDir::homePath();
    QString candidate = QDir::cleanPath(folder);
    while (!QFileInfo(candidate).isDir()) {
        const QString parent = QFileInfo(candidate).path();
        if (parent == candidate) return QDir::rootPath();
        candidate = parent;
    }
    return candidate;
}

void FolderTree::reveal(const QModelIndex& index) {
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) expand(parent);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FolderTree::showEvent(QShowEvent* event) {
    QTreeView::showEvent(event);
    if (currentIndex().isValid()) reveal(currentIndex());
}

void FolderTree::setPath(const QString& folder) {
    const QString chosen = nearestExistingFolder(folder);
    const QModelIndex index = model_->index(chosen);
    if (index.isValid()) {
        setCurrentIndex(index);  // currentChanged records it
        reveal(index);
    }
    if (path_ != chosen) {
        path_ = chosen;
        emit pathChanged(path_);
    }
}

void FolderTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (!current.isValid()) return;
    const QString chosen = model_->filePath(current);
    if (chosen.isEmpty() || chosen == path_) return;
    path_ = chosen;
    emit pathChanged(path_);
}

}  // namespace velmora
