#pragma once
// The Images tab's rows: every image, largest first, with its colour, mark,
// short ID, project and verdict, computed from the model's classification.

#include <QColor>
#include <QList>
#include <QString>

namespace stowage {

class AppModel;

struct ImageRow {
    QString id;
    QString mark;
    QString repository;
    QString tag;
    QString shortId;
    QString size;
    QString created;
    QString project;
    QString status;
    QColor color;
};

namespace ImageRows {

// One row per image, sorted by size, largest first (stable).
QList<ImageRow> build(const AppModel& model);

}  // namespace ImageRows

}  // namespace stowage
