#pragma once
// What one project card shows, computed from the model: title, running state,
// figures, the containers, and the images and volumes with their kind and
// ownership badges. Drawing and interaction are ProjectCardDelegate's.

#include "docker/Records.h"
#include "inventory/ProjectIndex.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace stowage {

struct Inventory;

struct CardBadge {
    QString text;
    QColor color;

    bool operator==(const CardBadge&) const = default;
};

struct CardContainerRow {
    QString name;
    QString image;
    QString status;  // as Docker gave it; told again against the clock when drawn
    OptionalDate startedAt;
    OptionalDate finishedAt;
    bool running = false;
};

// An image or a volume of the project.
struct CardResourceRow {
    QString name;
    QString size;
    std::optional<CardBadge> kind;  // images only
    CardBadge ownership;
};

struct ProjectCardData {
    QString project;  // empty for the standalone containers
    QString title;
    int runningCount = 0;
    QString runningText;
    QColor runningColor;
    OptionalDate lastActivity;
    QString figures;
    QString path;
    QList<CardContainerRow> containers;
    QList<CardResourceRow> images;
    QList<CardResourceRow> volumes;

    bool isStandalone() const { return project.isEmpty(); }
};

namespace ProjectCards {

// The ownership text: in success colours when exclusive, in danger ones when shared.
CardBadge ownershipBadge(const OwnerList& owners, const QString& project);

// "built" (warning) or "base" (dim) by the compose build naming rule.
CardBadge kindBadge(const QString& repository, const QString& project);

ProjectCardData build(const Inventory& inventory, const ProjectIndex& index, const QString& project,
                      const QList<SGContainer>& containers);
// Every project's card, by project (on any thread: reads nothing but its arguments).
QHash<QString, ProjectCardData> buildAll(const Inventory& inventory, const ProjectIndex& index);

}  // namespace ProjectCards

}  // namespace stowage
