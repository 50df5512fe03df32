#include "docker/ImageUnit.h"

#include <QHash>

namespace stowage {

namespace {

const QString noneName = QStringLiteral("<none>");

QString rowName(const SGImage& row) { return row.repository + u':' + row.tag; }

// A row names the image only with both a repository and a tag ("<none>" stands for either missing).
bool isReference(const SGImage& row)
{
    return !row.repository.isEmpty() && !row.tag.isEmpty() && row.repository != noneName && row.tag != noneName;
}

}  // namespace

QList<ImageUnit> imageUnits(const QList<SGImage>& chosen, const QList<SGImage>& listing)
{
    QList<ImageUnit> units;
    QHash<QString, qsizetype> unitOf;
    for (const SGImage& row : chosen) {
        if (unitOf.contains(row.id))
            continue;
        unitOf.insert(row.id, units.size());
        units.append({row.id, {}, rowName(row), row.size, row.sizeBytes, row.created});
    }
    // A chosen row missing from the listing still names its image.
    auto addReference = [&](const SGImage& row) {
        const auto slot = unitOf.constFind(row.id);
        if (slot != unitOf.cend() && isReference(row) && !units[*slot].references.contains(rowName(row)))
            units[*slot].references.append(rowName(row));
    };
    for (const SGImage& row : listing)
        addReference(row);
    for (const SGImage& row : chosen)
        addReference(row);
    // An untagged image has no name to list it by: its short id and age tell it apart.
    for (ImageUnit& unit : units) {
        if (!unit.references.isEmpty()) {
            unit.name = unit.references.join(QStringLiteral(", "));
            continue;
        }
        unit.name = QStringLiteral("untagged image ") + shortImageId(unit.id);
        if (!unit.created.isEmpty())
            unit.name += QStringLiteral(", created ") + unit.created;
    }
    return units;
}

}  // namespace stowage
