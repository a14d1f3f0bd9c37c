#include "drop_area.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

drop_files_widget::drop_files_widget(QWidget* parent)
    : QWidget(parent)
{
}

QStringList drop_files_widget::files_of_urls(const QList<QUrl>& urls)
{
    QStringList files;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            files << files_of_path(url.toLocalFile());
    return files;
}

QStringList drop_files_widget::files_of_path(const QString& path)
{
    QStringList candidates;
    const QFileInfo info(path);
    if (info.isDir()) {
        const QFileInfoList entries =
            QDir(info.absoluteFilePath()).entryInfoList(QDir::Files | QDir::Readable | QDir::NoDotAndDotDot, QDir::NoSort);
        for (const QFileInfo& entry : entries)
            candidates << entry.absoluteFilePath();
#ifdef Q_OS_UNIX
        // Qt leaves names out whose bytes are no UTF-8.
        const QByteArray folder = QFile::encodeName(info.absoluteFilePath());
        if (DIR* dir = ::opendir(folder.constData())) {
            while (const dirent* entry = ::readdir(dir)) {
                const QByteArray name(entry->d_name);
                if (QString::fromUtf8(name).toUtf8() != name)
                    candidates << info.absoluteFilePath() + QLatin1Char('/') + QString::fromUtf8(name);
            }
            ::closedir(dir);
        }
#endif
    } else {
        candidates << path;
    }
    QStringList files;
    for (const QString& candidate : qAsConst(candidates))
        if (QFileInfo(candidate).isFile() || candidate.contains(QChar::ReplacementCharacter))
            files << candidate;
    return files;
}

void drop_files_widget::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void drop_files_widget::dropEvent(QDropEvent* event)
{
    QStringList files;
    if (event->mimeData()->hasUrls())
        files = files_of_urls(event->mimeData()->urls());
    emit files_dropped(files);
    event->acceptProposedAction();
}
