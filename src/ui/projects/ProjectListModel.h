#pragma once
// The Projects tab's list: one entry per project the model's index shows, in
// the order and filter of the tab's search and sort, which it holds with the
// tab's selection. Card contents are computed once per
// inventory change and reused while only the search, sort or selection changes.
// What a card knows of its folder (is there a README) arrives later, from a
// look off the UI thread; the card is redrawn when it does.

#include "inventory/ProjectIndex.h"
#include "ui/projects/ProjectCardData.h"

#include <QAbstractListModel>
#include <QHash>

#include <optional>

namespace stowage {

class AppModel;

// How the Projects tab shows the index: its search, sort and direction, and
// the projects ticked in selection mode.
struct ProjectsView {
    QString search;
    ProjectSort sort = ProjectSort::lastActivity;
    bool ascending = false;
    bool selecting = false;
    QSet<QString> selected;
};

class ProjectListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int projectRole = Qt::UserRole + 1;

    explicit ProjectListModel(AppModel& model, QObject* parent = nullptr);

    // Takes every card anew (after an inventory change; ProjectCards::buildAll).
    void setCards(QHash<QString, ProjectCardData> cards);
    // Re-reads the order and filter (after a search, sort or selection change).
    void reorder();

    const ProjectsView& view() const { return view_; }
    // Each announces itself with viewChanged; the tab reorders on it.
    void setSearch(const QString& text);
    void setSort(ProjectSort sort);
    void setAscending(bool ascending);
    void setSelecting(bool on);
    void setSelected(const QSet<QString>& names);
    void toggleSelected(const QString& name);

    const ProjectCardData& card(int row) const;
    int rowOf(const QString& project) const;
    const QStringList& order() const { return order_; }
    // Whether the project's folder is known to hold a README.
    bool hasReadme(const QString& project) const;
    // Why the project's folder shortcuts cannot act, from the last look at its
    // folder; empty while it is there or not yet looked at.
    QString folderUnavailable(const QString& project) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

signals:
    void viewChanged();

private:
    QStringList sortedFilteredNames() const;
    void pathFactsArrived(const QSet<QString>& paths);

    AppModel& model_;
    QHash<QString, ProjectCardData> cards_;
    QStringList order_;
    ProjectsView view_;
};

}  // namespace stowage
