// The drop area: which drags it takes and which paths a drop yields.
#include "drop_area.h"
#include "file_names.h"
#include "main_window.h"
#include "writing_support.h"

#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

QStringList files_of_urls(const QList<QUrl>& urls)
{
    return file_names::of_urls(urls).files;
}

// A drop from another program: its "text/uri-list" comes as the sender's
// bytes (QMimeData::setData would read them as URLs at once).
struct sent_uri_list : QMimeData {
    QByteArray bytes;
    QStringList formats() const override { return {"text/uri-list"}; }
    QVariant retrieveData(const QString& type, QVariant::Type) const override
    {
        return type == "text/uri-list" ? QVariant(bytes) : QVariant();
    }
};

} // namespace

class test_drop_area : public QObject {
    Q_OBJECT
private:
    // Delivers a drop of mime to the widget; returns whether it was accepted.
    bool drop(drop_files_widget& w, QMimeData* mime)
    {
        w.setAcceptDrops(true); // as the main window sets it
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        // Straight to the widget: QApplication's drop routing needs a drag
        // in progress.
        static_cast<QObject&>(w).event(&event);
        return event.isAccepted();
    }

private slots:
    void drag_enter_needs_uri_list()
    {
        drop_files_widget w(nullptr);
        w.setAcceptDrops(true);
        QMimeData text;
        text.setText("some text");
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        refused.ignore();
        static_cast<QObject&>(w).event(&refused);
        QVERIFY(!refused.isAccepted());

        QMimeData uris;
        uris.setUrls({QUrl::fromLocalFile("/tmp/x.jpg")});
        QDragEnterEvent accepted(QPoint(5, 5), Qt::CopyAction, &uris, Qt::LeftButton, Qt::NoModifier);
        accepted.ignore();
        static_cast<QObject&>(w).event(&accepted);
        QVERIFY(accepted.isAccepted());
    }

    void folder_gives_its_files_one_level_deep()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        touch(dir.filePath("a.jpg"));
        touch(dir.filePath("b.png"));
        touch(dir.filePath("notes.txt"));
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        touch(dir.filePath("sub/deep.jpg"));

        drop_files_widget w(nullptr);
        QSignalSpy spy(&w, &drop_files_widget::files_dropped);
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(dir.path())});
        QVERIFY(drop(w, mime));
        delete mime;
        QCOMPARE(spy.count(), 1);
        QStringList files = spy.at(0).at(0).toStringList();
        files.sort();
        QCOMPARE(files, QStringList({dir.filePath("a.jpg"), dir.filePath("b.png"), dir.filePath("notes.txt")}));
        for (const QString& f : files)
            QVERIFY(QFileInfo(f).isAbsolute());
    }

    void remote_missing_and_duplicates()
    {
        QTemporaryDir dir;
        touch(dir.filePath("one.jpg"));
        drop_files_widget w(nullptr);
        QSignalSpy spy(&w, &drop_files_widget::files_dropped);

        // A web address, a vanished file and a name cut short by a NUL give
        // an empty list, still emitted.
        QMimeData web;
        web.setUrls({QUrl("https://example.org/photo.jpg"), QUrl::fromLocalFile(dir.filePath("gone.jpg")),
                     QUrl::fromEncoded(QUrl::fromLocalFile(dir.filePath("one.jpg")).toEncoded() + "%00.jpg")});
        QVERIFY(drop(w, &web));
        QCOMPARE(spy.count(), 1);
        QVERIFY(spy.at(0).at(0).toStringList().isEmpty() && spy.at(0).at(1).toStringList().isEmpty());

        // A file dropped itself and through its folder is listed twice.
        QMimeData both;
        both.setUrls({QUrl::fromLocalFile(dir.filePath("one.jpg")), QUrl::fromLocalFile(dir.path())});
        QVERIFY(drop(w, &both));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toStringList(), QStringList({dir.filePath("one.jpg"), dir.filePath("one.jpg")}));
    }

    // Names' bytes as some senders put them, unencoded: a Latin-1 name beside
    // its twin (the text that QUrl makes of it) and alone, which also comes
    // through its folder and encoded; a file on "localhost" and on this
    // machine's name; and one on another host, named apart (a NUL in it too).
    void uri_list_bytes()
    {
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path());
        QVERIFY(QDir(dir.path()).mkdir("twins") && QDir(dir.path()).mkdir("lone"));
        for (const char* name : {"/plain.jpg", "/twins/caf\xe9.jpg", "/twins/caf\xef\xbf\xbd.jpg", "/lone/caf\xe9.jpg"})
            QVERIFY(::close(::creat(root + name, 0600)) == 0); // by its bytes
        drop_files_widget w(nullptr);
        QSignalSpy spy(&w, &drop_files_widget::files_dropped);
        sent_uri_list mime;
        mime.bytes = "file://" + root + "/twins/caf\xe9.jpg\r\nfile://" + root + "/lone/caf\xe9.jpg\r\nfile://" + root +
                     "/lone\r\nfile://" + root + "/lone/caf%E9.jpg\r\nfile://localhost" + root + "/plain.jpg\r\nfile://" +
                     QHostInfo::localHostName().toUpper().toUtf8() + root + "/plain.jpg\r\nfile://otherhost.invalid" +
                     root + "/album%00\r\n";
        // Another host's folder, which cannot be told from a file here.
        const QByteArray other = "file://otherhost.invalid" + root + QByteArray("/album\0", 7);
        QVERIFY(drop(w, &mime));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toStringList(), QStringList({dir.filePath("plain.jpg"), dir.filePath("plain.jpg")}));
        const QString latin1 = QFile::decodeName(root + "/lone/caf\xe9.jpg");
        const QString name = QString::fromUtf8(other, other.size());
        QCOMPARE(spy.at(0).at(1).toStringList(), QStringList({QFile::decodeName(root + "/twins/caf\xe9.jpg"), latin1}));
        QCOMPARE(spy.at(0).at(2).toStringList(), QStringList({name}));
        // The window names it once, under its own reason, after the others.
        MainWindow main;
        writing_support::box_script boxes({"OK"});
        main.load_files({}, spy.at(0).at(1).toStringList(), spy.at(0).at(2).toStringList());
        const QString text = boxes.boxes.value(0).text;
        QVERIFY2(text.count(name) == 1 && text.indexOf(name) > text.indexOf("another computer") &&
                     text.indexOf("another computer") > text.indexOf(latin1),
                 qPrintable(text));
    }

    void empty_folder_and_unreadable_file()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("empty"));
        touch(dir.filePath("locked.jpg"));
        QFile::setPermissions(dir.filePath("locked.jpg"), QFileDevice::WriteOwner);
        QCOMPARE(files_of_urls({QUrl::fromLocalFile(dir.filePath("empty"))}), QStringList());
        // Through a folder only readable files come; named directly it passes
        // (whether it can be read is the loader's business).
        const bool root = QFileInfo(dir.filePath("locked.jpg")).isReadable();
        if (!root)
            QCOMPARE(files_of_urls({QUrl::fromLocalFile(dir.path())}), QStringList());
        QCOMPARE(files_of_urls({QUrl::fromLocalFile(dir.filePath("locked.jpg"))}),
                 QStringList({dir.filePath("locked.jpg")}));
    }
};

QTEST_MAIN(test_drop_area)
#include "test_drop_area.moc"
