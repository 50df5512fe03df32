#pragma once
// Text rules about what docker prints: reading one label out of a labels text,
// the image-name heuristics for compose-built and locally built images, whether
// a volume was created without a name, and the usage verdict of a volume.

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

// Whether Docker created the volume without a name: its name is the 64
// lowercase hex digits the engine generates. Any other name was given by
// someone, so the volume may hold data they mean to keep. Newer engines also
// label such volumes (com.docker.volume.anonymous), but that label is not
// trusted on its own: docker's labels text joins labels with bare commas, so
// any label value can forge it, and every volume the engine names itself has
// the generated name anyway.
bool isAnonymousVolume(const QString& name);

// orphanNamed: unmounted, dangling, no project label, but given a name.
enum class VolumeUsage { inUse, orphanLabeled, orphanNamed, orphanAnonymous, disputed, unknown };
constexpr bool isOrphan(VolumeUsage usage)
{
    return usage == VolumeUsage::orphanLabeled || usage == VolumeUsage::orphanNamed
        || usage == VolumeUsage::orphanAnonymous;
}
QString rawValue(VolumeUsage usage);

}  // namespace stowage::Classify
