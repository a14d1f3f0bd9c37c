#pragma once
// The about dialog (logo band, version, web site, copyright with the
// source revision) and the dialog listing the outside components.

#include <QDialog>
#include <QSize>
#include <QString>

#include <functional>
#include <string>

class QVBoxLayout;
class QWidget;

// The application's own source revision; defined by the application.
std::string application_revision();

namespace ko {

struct library_entry {
    QString name;
    QString notice;
    QString license_resource;  // empty: no licence text box
};

class dialog_about : public QDialog {
    Q_OBJECT
public:
    // The boolean is not used. header_style is the style sheet of the header
    // band (object name "logobg"), which is header_height pixels high; the
    // logo is scaled to header_height - logo_margin pixels.
    dialog_about(QWidget* parent, bool, const QString& header_style, int header_height,
                 int logo_margin);

    // What the notices link opens: the Qt notice, plus ExifTool's and/or
    // those of the image libraries (FreeImage, Little CMS).
    void default_3rdparty_libs(bool exiftool, bool image_libraries);

    std::function<void(QWidget*)> lib_info_callback;

    // The logo label's size for a logo of logo_size in a header of
    // header_height with logo_margin; an empty size for a missing logo.
    static QSize logo_label_size(const QSize& logo_size, int header_height, int logo_margin);
    // "Copyright ..." up to the current year, and the revision in brackets.
    static QString copyright_text();

private:
    QVBoxLayout* main_layout = nullptr;
};

class dialog_3rd_part_lib_info : public QDialog {
    Q_OBJECT
public:
    explicit dialog_3rd_part_lib_info(QWidget* parent = nullptr);

    QVBoxLayout* add_library_section(const library_entry& entry);
    QVBoxLayout* layout_of_sections() const { return main_layout; }

    static library_entry qt_entry();
    static library_entry exiftool_entry();
    static library_entry freeimage_entry();
    static library_entry little_cms_entry();

public slots:
    // Fixes the size to the size hint, then runs the modal loop.
    int exec() override;

private:
    QVBoxLayout* main_layout = nullptr;
};

// Centres dialog over parent (if it then lies on the default screen) and
// runs it application-modal.
void exec_centered(QDialog* dialog, QWidget* parent);

} // namespace ko
