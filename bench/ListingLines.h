#pragma once
// Listing lines as the listing templates of DockerClient print them, for the benchmarks' made-up
// docker output.

#include "docker/Classify.h"

#include <QJsonObject>
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
