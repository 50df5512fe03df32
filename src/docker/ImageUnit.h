#pragma once
// One image as a thing to count and to remove. `docker images` lists an image
// once per tag (compose 1.x names one build after every service that uses it,
// and people `docker tag` images into other repositories), but removing the
// image removes every tag, and its size is on disk once. Every removal path,
// confirmation and sum goes through these units.

#include "docker/Records.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace stowage {

struct ImageUnit {
    QString id;
    // "repository:tag" of every row that names the image, in listing order.
    QStringList references;
    // The references joined by ", "; for an untagged image "untagged image <short id>, created <age>".
    QString name;
    QString size;  // as listed
    qint64 sizeBytes = 0;
    QString created;  // as listed ("3 weeks ago")

    bool operator==(const ImageUnit&) const = default;
};

// The images of `chosen`, once per id in order of first appearance, each with
// the references of every row of `listing` (the whole image listing) that has
// its id, so that an image chosen through one of its tags still lists them all.
QList<ImageUnit> imageUnits(const QList<SGImage>& chosen, const QList<SGImage>& listing);

}  // namespace stowage
