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

namespace stowage::EngineLabel {

// Engines since 23.0 put this label, with an empty value, on every volume they
// create without a name; 20.10 and older set no label at all.
inline constexpr char anonymousVolume[] = "com.docker.volume.anonymous";

}  // namespace stowage::EngineLabel

namespace stowage::Classify {

// Value of `key` in a comma-separated list of key=value pairs; empty when absent.
QString label(const QString& labels, const QString& key);
// Whether an image name looks built by compose project `project` (e.g. shop-api for shop).
bool isBuiltImage(const QString& repository, const QString& project);
// Whether an image name looks built locally rather than pulled (myapp-web, my_api).
bool looksLocallyBuilt(const QString& repository);

// Whether a label with this key is among the labels, whatever its value.
bool hasLabel(const QString& labels, const QString& key);

// Whether the facts prove that Docker created the volume without a name. Its
// name must be the 64 lowercase hex digits the engine generates, and:
//  - on an engine that labels anonymous volumes (`engineLabelsAnonymous`), its
//    labels must be exactly that one label. Docker's labels text joins labels
//    with bare commas, so a piece of another label's value could look like the
//    label; a text holding nothing else cannot be forged that way;
//  - on an older engine, which labels nothing it creates, it must carry no
//    label at all: a label was put there by someone, who may mean to keep it.
bool isAnonymousVolume(const QString& name, const QString& labels, bool engineLabelsAnonymous);

// orphanNamed: unmounted, dangling, no project label, but given a name.
enum class VolumeUsage { inUse, orphanLabeled, orphanNamed, orphanAnonymous, disputed, unknown };
constexpr bool isOrphan(VolumeUsage usage)
{
    return usage == VolumeUsage::orphanLabeled || usage == VolumeUsage::orphanNamed
        || usage == VolumeUsage::orphanAnonymous;
}
QString rawValue(VolumeUsage usage);

}  // namespace stowage::Classify
