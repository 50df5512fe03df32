#pragma once
// Reading a project's README for the README dialog. The file comes from a path
// that Docker labels point at, so it is treated as untrusted: only a regular
// file is read, only valid UTF-8 is shown, and at most a bounded prefix.

#include <QString>

#include <optional>

namespace stowage::ReadmeFile {

// Shown (as Markdown) while the file is being read.
QString loadingText();
// Shown when there is no README, it cannot be read, or it is not UTF-8.
QString missingText();

// Files larger than this are cut at the last line feed before the limit.
constexpr qint64 maxBytes = 2 * 1024 * 1024;

// The README's text, or missingText(). Blocking: run it off the UI thread.
QString read(const std::optional<QString>& path);

}  // namespace stowage::ReadmeFile
