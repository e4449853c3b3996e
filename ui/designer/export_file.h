// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

namespace vostrel::designer {

// The formats File > Export writes, each with its file name extension.
enum class ExportFormat { Csv, Png, Svg };

QString extensionOf(ExportFormat format); // "csv", "png", "svg"

// The name the file is written under: a name without an extension gets the
// format's; one with an extension keeps it, and so does one that names a
// folder, a device or a FIFO (for writeWholeFile() to refuse).
//   "sweeps", Csv -> "sweeps.csv"   "plots.SVG", Png -> "plots.SVG"
//   "dir.d/plots", Png -> "dir.d/plots.png"   "/dev/full", Csv -> "/dev/full"
QString withExtension(const QString& path, ExportFormat format);

// The format a name asks for by its extension (any case), or nullopt.
//   "a.svg" -> Svg   "a.PNG" -> Png   "a" -> nullopt
std::optional<ExportFormat> formatOf(const QString& path);

// Writes `bytes` as the whole of the file at `path`, or fails leaving
// nothing behind: the bytes go to a new file beside the target, flushed to
// the disk, and only then take the target's name. A symbolic link is
// written through, to its target. A directory, a device, a FIFO or a
// socket is never written nor replaced. Returns nullopt on success, else a
// sentence saying why.
//   "/dev/full" -> "/dev/full is a device, not a regular file: ..."
//   "/tmp" -> "/tmp is a folder: ..."
std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes);

// A file's bytes, or why it cannot be read, naming the path as typed
// (which folder was meant is half the story).
//   "/tmp" -> "Cannot open /tmp: it is a folder."
//   "/no/such" -> "Cannot open /no/such: No such file or directory"
std::variant<QByteArray, QString> readWholeFile(const QString& path);

} // namespace vostrel::designer
