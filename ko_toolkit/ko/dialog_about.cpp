#include "ko/dialog_about.h"

#include "ko/fonts.h"
#include "ko/label.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtGlobal>

namespace ko {

namespace {

const QImage& logo_image()
{
    static const QImage logo(QStringLiteral(":/images/logo.png"));
    return logo;
}

const char* const site_address = "https://quenmark.example";
const char* const site_domain = "quenmark.example";

} // namespace

QSize dialog_about::logo_label_size(const QSize& logo_size, int header_height, int logo_margin)
{
    const int h = header_height - logo_margin;
    // A missing (or degenerate) logo, or no room for it: an empty label.
    if (logo_size.width() <= 0 || logo_size.height() <= 0 || h <= 0)
        return QSize(0, 0);
    const double r = double(logo_size.width()) / double(logo_size.height());
    if (r <= 999999.0 / h)
        return QSize(int(r * h), h);
    return QSize(999999, int(999999.0 / r));
}

QString dialog_about::copyright_text()
{
    const int year = QDateTime::currentDateTimeUtc().date().year();
    return tr("Copyright © 2019-%1 Quenmark. All rights reserved.").arg(year) +
           QStringLiteral(" (") + QString::fromUtf8(application_revision().c_str()) +
           QStringLiteral(")");
}

dialog_about::dialog_about(QWidget* parent, bool, const QString& header_style, int header_height,
                           int logo_margin)
    : QDialog(parent)
{
    register_fonts();
    const QFont dialog_font(QStringLiteral("FreeSans"), 9);
    const QFont caption_font(QStringLiteral("FreeSansBold"), 11, 75);
    setFont(dialog_font);

    setObjectName(QStringLiteral("dialog_about"));
    setStyleSheet(QStringLiteral(
        "#dialog_about{ background-color:rgb(47,47,47); }*{ color:rgb(198,213,210); }"));
    setWindowTitle(tr("About"));
    setWindowFlags(windowFlags() & ~Qt::WindowMinimizeButtonHint & ~Qt::WindowMaximizeButtonHint &
                   ~Qt::WindowContextHelpButtonHint);

    main_layout = new QVBoxLayout;
    main_layout->setContentsMargins(0, 0, 0, 0);
    setLayout(main_layout);

    auto* header = new QWidget;
    header->setObjectName(QStringLiteral("logobg"));
    header->setFixedHeight(header_height);
    header->setStyleSheet(header_style);
    // A plain QWidget paints style-sheet backgrounds only with this set.
    header->setAttribute(Qt::WA_StyledBackground);
    auto* header_layout = new QHBoxLayout(header);
    header_layout->setContentsMargins(0, 0, 0, 0);
    header_layout->setSpacing(0);

    auto* logo = new label(QString());
    logo->setObjectName(QStringLiteral("logo"));
    logo->setStyleSheet(QStringLiteral("background-image:none; background-color:none;"));
    const QImage& logo_picture = logo_image();
    logo->setFixedSize(logo_label_size(logo_picture.size(), header_height, logo_margin));
    if (!logo_picture.isNull()) {
        logo->paint_function = [logo, &logo_picture](QPainter& painter) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRect(0, 0, logo->width(), logo->height()), logo_picture);
        };
    }
    header_layout->addStretch(1);
    header_layout->addWidget(logo);
    header_layout->addStretch(1);
    main_layout->addWidget(header);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(20, 0, 20, 0);
    auto* version_caption = new QLabel(tr("Version:"));
    version_caption->setFont(caption_font);
    auto* version = new QLabel(QCoreApplication::applicationVersion() +
                               QStringLiteral(" - %1 Bit %2").arg(QSysInfo::WordSize).arg(QString()));
    version->setObjectName(QStringLiteral("version"));
    auto* site_caption = new QLabel(tr("Webseite:"));
    site_caption->setFont(caption_font);
    auto* site = new QLabel(QStringLiteral("<a style=\"color:#728a84;\" href=\"%1\">%2</a>")
                                .arg(QLatin1String(site_address), QLatin1String(site_domain)));
    site->setObjectName(QStringLiteral("website"));
    site->setTextFormat(Qt::RichText);
    site->setOpenExternalLinks(true);
    grid->addWidget(version_caption, 0, 0);
    grid->addWidget(version, 0, 1, Qt::AlignLeft);
    grid->addWidget(site_caption, 2, 0);
    grid->addWidget(site, 2, 1);
    main_layout->addLayout(grid, 1);

    main_layout->addSpacing(20);

    auto* notices = new clickable_label(tr("Click here for 3rd party library information"));
    notices->setObjectName(QStringLiteral("notices_link"));
    notices->setStyleSheet(QStringLiteral("text-decoration: none;"));
    notices->setCursor(Qt::PointingHandCursor);
    notices->setMouseTracking(true);
    main_layout->addWidget(notices, 0, Qt::AlignCenter);
    connect(notices, &clickable_label::clicked, this, [this] {
        if (lib_info_callback)
            lib_info_callback(this);
    });

    auto* copyright = new QLabel(copyright_text());
    copyright->setObjectName(QStringLiteral("copyright"));
    main_layout->addWidget(copyright, 0, Qt::AlignCenter);

    // Children styled by the dialog's sheet do not take the dialog font
    // from their parent; give it to them directly.
    for (QLabel* text : {version, site, static_cast<QLabel*>(notices), copyright})
        text->setFont(dialog_font);

    setFixedHeight(sizeHint().height());
    setFixedWidth(int(sizeHint().width() * 1.2));
}

void dialog_about::default_3rdparty_libs(bool exiftool, bool image_libraries)
{
    lib_info_callback = [exiftool, image_libraries](QWidget* parent) {
        auto* info = new dialog_3rd_part_lib_info(parent);
        if (exiftool)
            info->layout_of_sections()->addLayout(
                info->add_library_section(dialog_3rd_part_lib_info::exiftool_entry()));
        if (image_libraries) {
            info->layout_of_sections()->addLayout(
                info->add_library_section(dialog_3rd_part_lib_info::freeimage_entry()));
            info->layout_of_sections()->addLayout(
                info->add_library_section(dialog_3rd_part_lib_info::little_cms_entry()));
        }
        info->exec();
    };
}

// --- component notices -----------------------------------------------------

library_entry dialog_3rd_part_lib_info::qt_entry()
{
    return {QStringLiteral("Qt ") + QLatin1String(QT_VERSION_STR),
            tr("This software dynamically links to Qt which is licensed under the LGPL license.") +
                QLatin1Char('\n') +
                tr("The source code of the Qt SDK can be found at https://www.qt.io/download-open-source"),
            QString()};
}

library_entry dialog_3rd_part_lib_info::exiftool_entry()
{
    return {QStringLiteral("Exiftool"),
            tr("This software uses Exiftool by Phil Harvey.") + QLatin1Char('\n') +
                tr("For more information visit https://exiftool.org"),
            QString()};
}

library_entry dialog_3rd_part_lib_info::freeimage_entry()
{
    return {QStringLiteral("FreeImage"),
            QStringLiteral("This software uses the FreeImage open source image library.\n"
                           "See https://freeimage.sourceforge.io for details.\n"
                           "FreeImage is used under the FIPL, version 1.0."),
            QString()};
}

library_entry dialog_3rd_part_lib_info::little_cms_entry()
{
    return {QStringLiteral("Little CMS"),
            QStringLiteral("This software uses the Little CMS open source color management library.\n"
                           "See https://www.littlecms.com for details."),
            QString()};
}

dialog_3rd_part_lib_info::dialog_3rd_part_lib_info(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("About 3rd party libraries"));
    setStyleSheet(QStringLiteral("QDialog{background-color:rgb(47,47,47); color:rgb(198,213,210);}"));
    main_layout = new QVBoxLayout(this);
    main_layout->setContentsMargins(20, 10, 20, 10);
    main_layout->setSpacing(10);
    auto* heading = new QLabel(tr("%1 uses the following open source and/or 3rd party libraries:")
                                   .arg(QGuiApplication::applicationDisplayName()));
    heading->setObjectName(QStringLiteral("heading"));
    heading->setStyleSheet(QStringLiteral("font-size:16px;"));
    main_layout->addWidget(heading);
    main_layout->addLayout(add_library_section(qt_entry()));
}

QVBoxLayout* dialog_3rd_part_lib_info::add_library_section(const library_entry& entry)
{
    auto* section = new QVBoxLayout;
    section->setContentsMargins(0, 0, 0, 0);
    section->setSpacing(5);
    auto* name = new QLabel(entry.name);
    name->setObjectName(QStringLiteral("library_name"));
    name->setStyleSheet(QStringLiteral("font-size:14px; font-weight:bold;"));
    section->addWidget(name);
    auto* notice = new QLabel(entry.notice);
    notice->setObjectName(QStringLiteral("library_notice"));
    notice->setStyleSheet(QStringLiteral("font-size:12px;"));
    section->addWidget(notice);
    if (entry.license_resource == QString())
        return section;

    QString text;
    QFile file(entry.license_resource);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        const int zero = bytes.indexOf('\0');
        if (zero >= 0)
            bytes.truncate(zero);
        text = QString::fromUtf8(bytes);
        file.close();
    } else {
        text = QStringLiteral("Could not open license text resource at ") + entry.license_resource;
    }
    auto* box = new QTextEdit;
    box->setObjectName(QStringLiteral("license_text"));
    box->setReadOnly(true);
    box->setPlainText(text);
    section->addWidget(box);
    return section;
}

int dialog_3rd_part_lib_info::exec()
{
    setFixedSize(sizeHint());
    return QDialog::exec();
}

void exec_centered(QDialog* dialog, QWidget* parent)
{
    QRect rect = dialog->geometry();
    if (parent) {
        const QRect p = parent->geometry();
        const int cx = (p.left() + p.right()) / 2;
        const int cy = (p.top() + p.bottom()) / 2;
        rect.moveTopLeft(QPoint(cx - (rect.width() - 1) / 2, cy - (rect.height() - 1) / 2));
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen && screen->geometry().contains(rect))
            dialog->setGeometry(rect);
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->exec();
}

} // namespace ko

// The meta-object code of these dialogs is compiled here, not with the rest
// of the toolkit's, so that only programs showing the about dialog need the
// application's application_revision.
#include "moc_dialog_about.cpp"
