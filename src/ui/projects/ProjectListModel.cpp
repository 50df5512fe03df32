#include "ui/projects/ProjectListModel.h"

#include "model/AppModel.h"
#include "model/DisposeOffThread.h"

namespace stowage {

ProjectListModel::ProjectListModel(AppModel& model, QObject* parent) : QAbstractListModel(parent), model_(model)
{
    connect(&model_.shortcuts().pathFacts(), &HostPathFacts::projectsChanged, this, &ProjectListModel::pathFactsArrived);
    // An engine found to be remote turns every card's folder shortcuts off.
    connect(&model_, &AppModel::engineChanged, this, [this] {
        if (!order_.isEmpty())
            emit dataChanged(index(0), index(int(order_.size()) - 1));
    });
}

void ProjectListModel::pathFactsArrived(const QSet<QString>& paths)
{
    for (int row = 0; row < order_.size(); ++row)
        if (paths.contains(card(row).path))
            emit dataChanged(index(row), index(row));
}

void ProjectListModel::setCards(QHash<QString, ProjectCardData> cards)
{
    beginResetModel();
    disposeOffThread(std::exchange(cards_, std::move(cards)));
    order_ = sortedFilteredNames();
    endResetModel();
}

QStringList ProjectListModel::sortedFilteredNames() const
{
    QStringList names;
    for (const ProjectEntry& entry : sortedFilteredProjects(model_.index(), model_.inventory().volumeSizes,
                                                            view_.search, view_.sort, view_.ascending))
        names << entry.first;
    return names;
}

void ProjectListModel::setSearch(const QString& text)
{
    view_.search = text;
    emit viewChanged();
}

void ProjectListModel::setSort(ProjectSort sort)
{
    view_.sort = sort;
    emit viewChanged();
}

void ProjectListModel::setAscending(bool ascending)
{
    view_.ascending = ascending;
    emit viewChanged();
}

void ProjectListModel::setSelecting(bool on)
{
    view_.selecting = on;
    emit viewChanged();
}

void ProjectListModel::setSelected(const QSet<QString>& names)
{
    view_.selected = names;
    emit viewChanged();
}

void ProjectListModel::toggleSelected(const QString& name) { setSelected(toggled(view_.selected, name)); }

void ProjectListModel::reorder()
{
    QStringList order = sortedFilteredNames();
    if (order == order_) {
        // Same cards (a selection change): only their looks change.
        if (!order_.isEmpty())
            emit dataChanged(index(0), index(int(order_.size()) - 1));
        return;
    }
    beginResetModel();
    order_ = std::move(order);
    endResetModel();
}

const ProjectCardData& ProjectListModel::card(int row) const
{
    static const ProjectCardData none;
    if (row < 0 || row >= order_.size())
        return none;
    const auto it = cards_.constFind(order_[row]);
    return it == cards_.cend() ? none : *it;
}

int ProjectListModel::rowOf(const QString& project) const
{
    return int(order_.indexOf(project));
}

bool ProjectListModel::hasReadme(const QString& project) const
{
    return !project.isEmpty() && model_.shortcuts().readmeURL(project).has_value();
}

QString ProjectListModel::folderUnavailable(const QString& project) const
{
    if (const QString elsewhere = model_.shortcuts().elsewhereNotice(); !elsewhere.isEmpty())
        return elsewhere;
    const auto facts = model_.shortcuts().projectPathFacts(project);
    if (!facts || facts->folder.presence == platform::PathPresence::present)
        return {};
    return projectPathNotice(model_.index().projectsMeta.value(project).path, facts->folder).message;
}

int ProjectListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(order_.size());
}

QVariant ProjectListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= order_.size())
        return {};
    switch (role) {
    case projectRole: return order_[index.row()];
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return card(index.row()).title;
    default: return {};
    }
}

}  // namespace stowage
