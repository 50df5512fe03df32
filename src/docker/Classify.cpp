#include "docker/Classify.h"

#include <QList>

#include <algorithm>

namespace stowage::Classify {

namespace {

const QString noneName = QStringLiteral("<none>");

}  // namespace

QString label(const QString& labels, const QString& key)
{
    // Pieces are not trimmed, and a value containing a comma is cut there:
    // docker joins labels with bare commas and does not escape them.
    const QString prefix = key + u'=';
    for (QStringView piece : QStringView(labels).split(u',', Qt::SkipEmptyParts)) {
        if (piece.startsWith(prefix))
            return piece.mid(prefix.size()).toString();
    }
    return {};
}

bool hasLabel(const QString& labels, const QString& key)
{
    // Read in place: the classification asks this of every volume.
    for (QStringView piece : QStringView(labels).tokenize(u',', Qt::SkipEmptyParts)) {
        if (piece.size() > key.size() && piece[key.size()] == u'=' && piece.startsWith(key))
            return true;
    }
    return false;
}

bool isAnonymousVolume(const QString& name, const QString& labels, bool engineLabelsAnonymous)
{
    static constexpr qsizetype generatedNameLength = 64;
    const bool generatedName = name.size() == generatedNameLength
        && std::all_of(name.cbegin(), name.cend(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
           });
    if (!generatedName)
        return false;
    if (engineLabelsAnonymous)
        return labels == QLatin1String(EngineLabel::anonymousVolume) + u'=';
    return labels.isEmpty();
}

bool isBuiltImage(const QString& repository, const QString& project)
{
    if (repository.isEmpty() || project.isEmpty() || repository == noneName || repository.contains(u'/'))
        return false;
    // Compose names built images <project>-<service> (v2) or <project>_<service> (v1).
    // Docker's names are ASCII: those are compared in place, since the index asks
    // this of every image of every project. Lower-cased copies decide the others.
    const auto ascii = [](const QString& text) {
        return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    };
    if (ascii(repository) && ascii(project)) {
        const qsizetype length = project.size();
        return repository.size() > length + 1 && (repository[length] == u'-' || repository[length] == u'_')
            && QStringView(repository).left(length).compare(project, Qt::CaseInsensitive) == 0;
    }
    const QString name = repository.toLower();
    const QString base = project.toLower();
    for (QChar separator : {u'-', u'_'}) {
        const QString prefix = base + separator;
        if (name.startsWith(prefix) && name.size() > prefix.size())
            return true;
    }
    return false;
}

bool looksLocallyBuilt(const QString& repository)
{
    if (repository.isEmpty() || repository == noneName || repository.contains(u'/'))
        return false;
    const QString name = repository.toLower();
    return name.contains(u'-') || name.contains(u'_');
}

QString rawValue(VolumeUsage usage)
{
    switch (usage) {
    case VolumeUsage::inUse:
        return QStringLiteral("inUse");
    case VolumeUsage::orphanLabeled:
        return QStringLiteral("orphanLabeled");
    case VolumeUsage::orphanNamed:
        return QStringLiteral("orphanNamed");
    case VolumeUsage::orphanAnonymous:
        return QStringLiteral("orphanAnonymous");
    case VolumeUsage::disputed:
        return QStringLiteral("disputed");
    case VolumeUsage::unknown:
        return QStringLiteral("unknown");
    }
    return {};
}

}  // namespace stowage::Classify
