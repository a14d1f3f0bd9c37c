#include "drop_area.h"

#include "file_names.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

drop_files_widget::drop_files_widget(QWidget* parent)
    : QWidget(parent)
{
}

void drop_files_widget::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void drop_files_widget::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    // The list's own bytes, as urls() would decode names that are no UTF-8.
    const QByteArray uri_list = mime->data(QStringLiteral("text/uri-list"));
    file_names::listing found;
    if (!uri_list.isEmpty())
        found = file_names::of_uri_list(uri_list);
    else if (mime->hasUrls())
        found = file_names::of_urls(mime->urls());
    emit files_dropped(found.files, found.refused);
    event->acceptProposedAction();
}
