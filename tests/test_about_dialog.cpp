// The about dialog: logo band sizes, the German copyright line, the notices
// link with the component entries per flag, licence texts, and centred modal
// showing.
#include "ko/dialog_about.h"
#include "ko/label.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

// The application defines this; where its definition is linked in, that one wins.
__attribute__((weak)) std::string application_revision()
{
    return "1a2b3c4";
}

namespace {

// Runs trigger, which is expected to open a modal dialog; within 5 s the
// dialog is handed to inspect and then closed. Returns whether it appeared.
bool with_modal(const std::function<void()>& trigger, const std::function<void(QDialog*)>& inspect)
{
    bool seen = false;
    int ticks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            poll.stop();
            seen = true;
            inspect(dialog);
            dialog->reject();
        } else if (++ticks > 500) {
            poll.stop();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->reject();
        }
    });
    poll.start(10);
    trigger();
    poll.stop();
    return seen;
}

std::unique_ptr<ko::dialog_about> make_about()
{
    return std::make_unique<ko::dialog_about>(nullptr, true,
                                              "#logobg{ background-image:url(:/images/Head.png);}", 97, 10);
}

} // namespace

class test_about_dialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Quenmark");
        QCoreApplication::setApplicationName("Orlavo");
        QCoreApplication::setApplicationVersion("2.1.0");
        QGuiApplication::setApplicationDisplayName("Orlavo");
    }

    void logo_sizes()
    {
        QCOMPARE(ko::dialog_about::logo_label_size(QSize(229, 70), 97, 10), QSize(284, 87));
        // A missing logo gives an empty label, never a size made of NaN.
        QCOMPARE(ko::dialog_about::logo_label_size(QSize(), 97, 10), QSize(0, 0));
        QCOMPARE(ko::dialog_about::logo_label_size(QSize(229, 0), 97, 10), QSize(0, 0));
        QCOMPARE(ko::dialog_about::logo_label_size(QSize(229, 70), 10, 10), QSize(0, 0));
        // Very wide logos are capped.
        QCOMPARE(ko::dialog_about::logo_label_size(QSize(20000, 1), 97, 10), QSize(999999, 49));
    }

    // The dialog as painted: dark, the header image behind the band, the
    // logo drawn scaled into its label; the revision after the copyright.
    void painted_logo_and_revision()
    {
        auto about = make_about();
        const QString copyright = about->findChild<QLabel*>("copyright")->text();
        QVERIFY2(copyright.endsWith(" (" + QString::fromStdString(application_revision()) + ")"),
                 qPrintable(copyright));
        const QImage image = about->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage head(":/images/Head.png");
        QCOMPARE(QColor(image.pixel(2, 40)), QColor(head.pixel(2, 40)));
        QCOMPARE(QColor(image.pixel(2, image.height() - 2)), QColor(47, 47, 47));
        auto* logo = about->findChild<ko::label*>("logo");
        QCOMPARE(logo->size(), QSize(284, 87));
        const QPoint at = logo->mapTo(about.get(), QPoint(0, 0));
        int light = 0;
        for (int y = at.y(); y < at.y() + logo->height(); ++y)
            for (int x = at.x(); x < at.x() + logo->width(); ++x)
                if (qGray(image.pixel(x, y)) > 170)
                    ++light;
        QVERIFY2(light > 500, qPrintable(QString::number(light)));
    }

    void copyright_line_and_exiftool_notice_in_german()
    {
        QTranslator german;
        QVERIFY(german.load(":/translations/toolkit_de"));
        QCoreApplication::installTranslator(&german);
        const QString copyright = make_about()->findChild<QLabel*>("copyright")->text();
        const QString notice = ko::dialog_3rd_part_lib_info::exiftool_entry().notice;
        QCoreApplication::removeTranslator(&german);
        const QString year = QString::number(QDateTime::currentDateTimeUtc().date().year());
        QCOMPARE(copyright, QString::fromUtf8("Copyright \xc2\xa9 2019-") + year +
                                " Quenmark. Alle Rechte vorbehalten. (" +
                                QString::fromStdString(application_revision()) + ")");
        QCOMPARE(notice, QString("Diese Software verwendet Exiftool von Phil Harvey.\n"
                                 "Weitere Informationen finden Sie unter https://exiftool.org"));
    }

    void notices_per_flag_data()
    {
        QTest::addColumn<bool>("exiftool");
        QTest::addColumn<bool>("image_libraries");
        QTest::addColumn<QStringList>("names");
        const QString qt = QStringLiteral("Qt ") + QT_VERSION_STR;
        QTest::newRow("exiftool") << true << false << QStringList({qt, "Exiftool"});
        QTest::newRow("image libraries") << false << true << QStringList({qt, "FreeImage", "Little CMS"});
        QTest::newRow("both") << true << true << QStringList({qt, "Exiftool", "FreeImage", "Little CMS"});
        QTest::newRow("neither") << false << false << QStringList({qt});
        QTest::newRow("no callback: no dialog") << false << false << QStringList();
    }
    void notices_per_flag()
    {
        QFETCH(bool, exiftool);
        QFETCH(bool, image_libraries);
        QFETCH(QStringList, names);
        auto about = make_about();
        if (!names.isEmpty())
            about->default_3rdparty_libs(exiftool, image_libraries);
        QStringList seen;
        const bool opened = with_modal(
            [&] {
                QTest::mousePress(about->findChild<ko::clickable_label*>("notices_link"), Qt::LeftButton);
                if (names.isEmpty())
                    QTest::qWait(100);
            },
            [&](QDialog* dialog) {
                for (QLabel* l : dialog->findChildren<QLabel*>("library_name"))
                    seen << l->text();
            });
        QCOMPARE(opened, !names.isEmpty());
        QCOMPARE(seen, names);
    }

    void licence_text_sections()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("licence.txt");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("Licence \xc3\xa4 text\0after the zero", 30));
        }
        ko::dialog_3rd_part_lib_info info;
        QVBoxLayout* good = info.add_library_section({"Good", "notice", path});
        QVBoxLayout* bad = info.add_library_section({"Bad", "notice", "/no/such/licence"});
        info.layout_of_sections()->addLayout(good);
        info.layout_of_sections()->addLayout(bad);
        auto* good_box = qobject_cast<QTextEdit*>(good->itemAt(2)->widget());
        auto* bad_box = qobject_cast<QTextEdit*>(bad->itemAt(2)->widget());
        QVERIFY(good_box && bad_box);
        QCOMPARE(good_box->toPlainText(), QString::fromUtf8("Licence \xc3\xa4 text"));
        QCOMPARE(bad_box->toPlainText(), QString("Could not open license text resource at /no/such/licence"));
    }

    // Centred over the parent; off the screen it stays where it was. Modal either way.
    void exec_centered_places_and_runs_modal()
    {
        const struct { QRect parent, expected; } cases[] = {
            {QRect(100, 100, 400, 300), QRect(200, 200, 200, 100)},
            {QRect(20000, 20000, 400, 300), QRect(10, 20, 200, 100)}};
        for (const auto& c : cases) {
            QWidget parent;
            parent.setGeometry(c.parent);
            QDialog dialog(&parent);
            dialog.setFixedSize(200, 100);
            dialog.setGeometry(10, 20, 200, 100);
            QRect placed;
            Qt::WindowModality modality = Qt::NonModal;
            QVERIFY(with_modal([&] { ko::exec_centered(&dialog, &parent); },
                               [&](QDialog* d) {
                                   placed = d->geometry();
                                   modality = d->windowModality();
                               }));
            QCOMPARE(placed, c.expected);
            QCOMPARE(modality, Qt::ApplicationModal);
        }
    }
};

QTEST_MAIN(test_about_dialog)
#include "test_about_dialog.moc"
