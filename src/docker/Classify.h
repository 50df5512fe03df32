#pragma once
// Text rules about what docker prints: reading one label out of a labels text,
// the image-name heuristics for compose-built and locally built images, and
// the usage verdict of a volume.

#include <QString>

namespace stowage::ComposeLabel {

// The labels docker compose sets on what it creates.
inline constexpr char project[] = "com.docker.compose.project";
inline constexpr char workingDir[] = "com.docker.compose.project.working_dir";
inline constexpr char configFiles[] = "com.docker.compose.project.config_files";

}  // namespace stowage::ComposeLabel

namespace stowage::Classify {

// Value of `key` in a comma-separated list of key=value pairs; empty when absent.
QString label(const QString& labels, const QString& key);
// Whether an image name looks built by compose project `project` (e.g. shop-api for shop).
bool isBuiltImage(const QString& repository, const QString& project);
// Whether an image name looks built locally rather than pulled (myapp-web, my_api).
bool looksLocallyBuilt(const QString& repository);

enum class VolumeUsage { inUse, orphanLabeled, orphanAnonymous, disputed, unknown };
QString rawValue(VolumeUsage usage);

}  // namespace stowage::Classify
