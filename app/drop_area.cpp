#include "drop_area.h"

#include "file_names.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

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
    // The list's own bytes, as urls() would decode names that are no UTF-8.
    const file_names::listing found =
        file_names::of_uri_list(event->mimeData()->data(QStringLiteral("text/uri-list")));
    emit files_dropped(found.files, found.refused, found.remote);
    event->acceptProposedAction();
}
