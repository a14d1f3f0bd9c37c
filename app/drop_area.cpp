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
    file_names::listing found;
    if (event->mimeData()->hasUrls())
        found = file_names::of_urls(event->mimeData()->urls());
    emit files_dropped(found.files, found.refused);
    event->acceptProposedAction();
}
