#include "ko/button.h"

#include "ko/cell_options.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QTextDocument>
#include <QTimer>

namespace ko {

namespace {

const char* const resting_declarations = "border:none;margin:2px 2px 2px 2px;";
const char* const flash_declarations = "margin:0px 0px 0px 0px;border:2px solid rgb(222,222,222);";

} // namespace

button::button(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    qt::set_style_declarations(this, QString::fromLatin1(resting_declarations));
    setFocusPolicy(Qt::NoFocus);
}

button::button(QWidget* parent, const QRect& r) : button(QString(), parent)
{
    highlight_rect = QRect(QPoint(r.left() + 4, r.top() + 4), QPoint(r.right() + 1, r.bottom() + 1));
}

void button::mouseReleaseEvent(QMouseEvent* event)
{
    // A release away from the button ends the press without a click.
    if (event->button() != Qt::LeftButton || !hitButton(event->pos())) {
        QPushButton::mouseReleaseEvent(event);
        return;
    }
    if (!highlight_rect.isValid())
        qt::set_style_declarations(this, QString::fromLatin1(flash_declarations));
    QTimer::singleShot(200, this, &button::deaktivate_highlight);
    highlighted = true;
    update();
    // The press left the button down; the signals below take the place of
    // the ordinary release handling, which would emit them again.
    setDown(false);
    emit clicked(false);
    emit released();
    emit toggled(isChecked());
}

void button::deaktivate_highlight()
{
    if (!highlight_rect.isValid())
        qt::set_style_declarations(this, QString::fromLatin1(resting_declarations));
    highlighted = false;
    update();
}

void button::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (highlight_rect.isValid() && highlighted) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(222, 222, 222), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(highlight_rect);
    }
}

button_html::button_html(const QString& html, QWidget* parent) : button(parent, QRect())
{
    QTextDocument document;
    document.setHtml(html);
    const QSizeF size = document.size();
    QPixmap face(static_cast<int>(size.width()), static_cast<int>(size.height()));
    if (!face.isNull()) {
        face.fill(Qt::transparent);
        QPainter painter(&face);
        document.drawContents(&painter, QRectF(face.rect()));
    }
    setIcon(QIcon(face));
    setIconSize(face.size());
}

button_html::button_html(QWidget* parent) : button_html(QString(), parent) {}

} // namespace ko
