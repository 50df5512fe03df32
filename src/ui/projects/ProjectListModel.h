#pragma once
// The Projects tab's list: one entry per project the model's index shows, in
// the model's search and sort order. Card contents are computed once per
// inventory change and reused while only the search, sort or selection changes.
// What a card knows of its folder (is there a README) arrives later, from a
// look off the UI thread; the card is redrawn when it does.

#include "ui/projects/ProjectCardData.h"

#include <QAbstractListModel>
#include <QHash>

#include <optional>

namespace stowage {

class AppModel;

class ProjectListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int projectRole = Qt::UserRole + 1;

    explicit ProjectListModel(AppModel& model, QObject* parent = nullptr);

    // Takes every card anew (after an inventory change; ProjectCards::buildAll).
    void setCards(QHash<QString, ProjectCardData> cards);
    // Re-reads the order and filter (after a search, sort or selection change).
    void reorder();

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

private:
    void pathFactsArrived(const QSet<QString>& paths);

    AppModel& model_;
    QHash<QString, ProjectCardData> cards_;
    QStringList order_;
};

}  // namespace stowage
