// SPDX-License-Identifier: GPL-3.0-or-later
#include "export_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <sys/stat.h>

namespace vostrel::designer {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ExportFile", text);
}

// What a name that exists is, when it is not a regular file; nullopt for a
// regular file or a name not yet taken.
std::optional<QString> notARegularFile(const QString& path)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return std::nullopt; // not there (yet): created
    }
    if (S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    if (S_ISDIR(status.st_mode)) {
        return tr("a folder");
    }
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
        return tr("a device");
    }
    if (S_ISFIFO(status.st_mode)) {
        return tr("a FIFO (named pipe)");
    }
    return tr("not a regular file");
}

// The file a name stands for: a symbolic link's target, followed through
// every link, resolved against the link's folder; the name itself otherwise.
QString targetOf(const QString& path)
{
    QString target = path;
    for (int hops = 0; hops < 40; ++hops) { // as many as the kernel follows
        const QFileInfo info(target);
        if (!info.isSymLink()) {
            return target;
        }
        target = info.symLinkTarget(); // absolute, made from the link's folder
    }
    return target;
}

} // namespace

QString extensionOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv:
        return QStringLiteral("csv");
    case ExportFormat::Png:
        return QStringLiteral("png");
    case ExportFormat::Svg:
        return QStringLiteral("svg");
    }
    return {};
}

QString withExtension(const QString& path, ExportFormat format)
{
    // A name taken by a folder or a device stays as it is, to be refused:
    // "/dev/full" must not become a new "/dev/full.csv".
    if (notARegularFile(targetOf(path))) {
        return path;
    }
    if (QFileInfo(path).suffix().isEmpty() && !path.endsWith(QLatin1Char('/'))) {
        return path + QLatin1Char('.') + extensionOf(format);
    }
    return path;
}

std::optional<ExportFormat> formatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Png, ExportFormat::Svg}) {
        if (suffix == extensionOf(format)) {
            return format;
        }
    }
    return std::nullopt;
}

std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes)
{
    const QString target = targetOf(path);
    if (const auto what = notARegularFile(target)) {
        return tr("%1 is %2, not a regular file: choose a file name.").arg(path, *what);
    }
    // QSaveFile writes a new file beside the target and renames it over the
    // target only once every byte is written and flushed: a full disk or a
    // failed write leaves the old file, or none, and no partial one.
    QSaveFile file(target);
    // Qt says "Unknown error" for a full disk: say it plainly.
    const auto failed = [&](const QString& why) {
        const QStorageInfo disk(QFileInfo(target).absolutePath());
        if (disk.isValid() && disk.bytesAvailable() < bytes.size() + 65536) {
            return tr("Could not write %1: the disk is full (%2 KB needed); nothing was changed.")
                .arg(path)
                .arg((bytes.size() + 1023) / 1024);
        }
        return tr("Could not write %1: %2.").arg(path, why);
    };
    if (!file.open(QIODevice::WriteOnly)) {
        return failed(file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failed(why);
    }
    if (!file.commit()) {
        return failed(file.errorString());
    }
    return std::nullopt;
}

namespace {

constexpr qint64 kMaxOpenedBytes = qint64{64} << 20; // a long measured sweep

} // namespace

std::variant<QByteArray, QString> readWholeFile(const QString& path)
{
    if (QFileInfo(path).isDir()) {
        return tr("Cannot open %1: it is a folder.").arg(QDir::toNativeSeparators(path));
    }
    // A FIFO or a device would hold the window until something writes to
    // it, or never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return tr("Cannot open %1: it is not a regular file (a FIFO, a device or a socket).")
            .arg(QDir::toNativeSeparators(path));
    }
    if (info.size() > kMaxOpenedBytes) {
        return tr("Cannot open %1: it is larger than 64 MB.").arg(QDir::toNativeSeparators(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return tr("Cannot open %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    }
    return file.readAll();
}

} // namespace vostrel::designer
