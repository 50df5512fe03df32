#pragma once
// Listing lines as the listing templates of DockerClient print them, for the benchmarks' made-up
// docker output.

#include "docker/Classify.h"
#include "docker/ImageLayers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

// The usual listing object with the compose labels' exact values beside it.
inline QJsonObject listed(const QJsonObject& listing, const QString& project, const QString& workingDir = {},
                          const QString& configFiles = {})
{
    using namespace stowage;
    return {{"Listing", listing},
            {"LabelValues", QJsonObject{{ComposeLabel::project, project},
                                        {ComposeLabel::workingDir, workingDir},
                                        {ComposeLabel::configFiles, configFiles}}}};
}

// The `image inspect` lines of `images`, as the refresh's layers template prints them.
inline QString imageLayersLines(const QList<stowage::ImageLayers>& images)
{
    const auto json = [](const QStringList& texts) {
        return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
    };
    QString out;
    for (const stowage::ImageLayers& image : images) {
        out += image.id + "@@" + image.parent + "@@" + QString::number(image.sizeBytes) + "@@" + json(image.layers)
            + "@@" + json(image.repoDigests.value_or(QStringList())) + '\n';
    }
    return out;
}
