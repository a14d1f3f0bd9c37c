#include "drop_area.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

drop_files_widget::drop_files_widget(QWidget* parent)
    : QWidget(parent)
{
}

QStringList drop_files_widget::files_of_urls(const QList<QUrl>& urls)
{
    QStringList candidates;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir()) {
            const QFileInfoList entries = QDir(path).entryInfoList(
                QDir::Files | QDir::Readable | QDir::NoDotAndDotDot, QDir::NoSort);
            for (const QFileInfo& entry : entries)
                candidates << entry.absoluteFilePath();
        } else {
            candidates << path;
        }
    }
    QStringList files;
    for (const QString& candidate : qAsConst(candidates))
        if (QFileInfo(candidate).isFile())
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
