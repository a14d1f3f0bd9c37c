// Dark message boxes and input dialogs: default and escape buttons, the
// relabelled buttons, the optional log line, the dark look as painted, and
// what each input helper returns when accepted or rejected.
#include "ko/input_dialog.h"
#include "ko/message_box.h"
#include "ko/message_handler.h"
#include "dialog_support.h"
#include "stream_capture.h"
#include "test_support.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using test_support::act_on_modal_later;
using test_support::click_button_later;
using test_support::colour_near;

namespace {

// The lines of the box log only (the offscreen platform writes warnings of its own).
QStringList box_log_lines(const std::string& text)
{
    return QString::fromStdString(text).split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^Debug: MessageBox "));
}

} // namespace

class test_message_box : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ko::message_box::log_enabled = false; }

    void default_buttons_by_helper()
    {
        // question_yes_no with default Yes: Yes is the default, relabelled.
        QString seen_default_text;
        act_on_modal_later([&](QWidget* w) {
            QAbstractButton* seen_default = qobject_cast<QMessageBox*>(w)->defaultButton();
            seen_default_text = seen_default ? seen_default->text() : QString();
            click_button_later("Go on");
        });
        QCOMPARE(ko::message_box::question_yes_no(nullptr, "T", "Sure?", "Go on", "Stop", QMessageBox::Yes),
                 QMessageBox::Yes);
        QCOMPARE(seen_default_text, QString("Go on"));

        click_button_later("Stop");
        QCOMPARE(int(ko::message_box::question_yes_no(nullptr, "T", "Sure?", "Go on", "Stop", QMessageBox::Yes)),
                 0x00010000);

        // question with Yes | No and NoButton: neither has the accept role.
        ko::message_box question(QMessageBox::Question, "Q", "Text");
        question.set_buttons(QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton);
        QVERIFY(!question.defaultButton());

        // An explicit default wins over the accept role; buttons come in ascending order.
        ko::message_box three(QMessageBox::Warning, "W", "Text");
        three.set_buttons(QMessageBox::Cancel | QMessageBox::Ok | QMessageBox::No, QMessageBox::Cancel);
        QCOMPARE(three.standardButton(three.defaultButton()), QMessageBox::Cancel);
        auto* button_box = three.findChild<QDialogButtonBox*>();
        QVERIFY(button_box);
        QCOMPARE(int(button_box->standardButtons()), int(QMessageBox::Ok | QMessageBox::No | QMessageBox::Cancel));
    }

    void escape_button()
    {
        const auto press_escape = [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); };
        act_on_modal_later(press_escape);
        QCOMPARE(ko::message_box::question_yes_no(nullptr, "T", "X", "Yes please", "No thanks"), QMessageBox::No);
        act_on_modal_later(press_escape);
        QCOMPARE(ko::message_box::information(nullptr, "T", "X"), QMessageBox::Ok);
        act_on_modal_later(press_escape);
        QCOMPARE(ko::message_box::question_yes_no_cancel(nullptr, "T", "X", "A", "B", "C"), QMessageBox::Cancel);
    }

    void every_helper_returns_the_clicked_button()
    {
        click_button_later("Never");
        QCOMPARE(ko::message_box::question_yes_no_all(nullptr, "T", "X", "Once", "Never once", "Always", "Never"),
                 QMessageBox::NoToAll);
        click_button_later("Keep");
        QCOMPARE(ko::message_box::critical_yes_no(nullptr, "T", "X", "Delete", "Keep"), QMessageBox::No);
    }

    void logged_title_text_and_button()
    {
        ko::install_message_handler(true, false);
        {
            test_support::stream_capture capture;
            click_button_later("Go on");
            ko::message_box::question_yes_no(nullptr, "Title", "Text", "Go on", "Stop");
            QCOMPARE(box_log_lines(capture.out()), QStringList()); // switched off
        }
        ko::message_box::log_enabled = true;
        test_support::stream_capture capture;
        click_button_later("Weiter");
        QCOMPARE(ko::message_box::question_yes_no(nullptr, QString::fromUtf8("Größe"), "Text", "Weiter", "Stop"),
                 QMessageBox::Yes);
        // Ended without a button: logged and returned as Cancel.
        act_on_modal_later([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QCOMPARE(ko::message_box::question_yes_no(nullptr, "Gone", "Away", "Y", "N"), QMessageBox::Cancel);
        ko::install_message_handler(false, false);
        QCOMPARE(box_log_lines(capture.out()),
                 QStringList({QString::fromUtf8("Debug: MessageBox \"Größe\" \"Text\": Weiter"),
                              "Debug: MessageBox \"Gone\" \"Away\": Cancel"}));
    }

    void box_is_painted_dark()
    {
        QImage picture;
        act_on_modal_later([&](QWidget* w) {
            picture = w->grab().toImage();
            qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
        });
        ko::message_box::information(nullptr, "Look", "A fairly long text to paint in the box");
        QVERIFY(colour_near(picture.pixelColor(1, 1), 47, 47, 47, 0));
        QVERIFY(colour_near(picture.pixelColor(picture.width() - 2, picture.height() / 2), 47, 47, 47, 0));
        int text_pixels = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (colour_near(picture.pixelColor(x, y), 198, 213, 210, 12))
                    ++text_pixels;
        QVERIFY2(text_pixels > 20, qPrintable(QString::number(text_pixels)));
    }

    void input_item_choice()
    {
        const QStringList tracks{"Morning", "Noon", "Evening"};
        bool ok = false;
        act_on_modal_later([&](QWidget* w) {
            auto* combo = w->findChild<QComboBox*>();
            QVERIFY(combo && !combo->isEditable());
            combo->setCurrentIndex(2);
            qobject_cast<QDialog*>(w)->accept();
        });
        QCOMPARE(ko::input_get_item(nullptr, "Track", "Choose", tracks, 0, false, &ok), QString("Evening"));
        QVERIFY(ok);
        // Rejected: empty for an out-of-range start, else the start item.
        for (int current : {-1, 3, 1}) {
            act_on_modal_later([&](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
            QCOMPARE(ko::input_get_item(nullptr, "Track", "Choose", tracks, current, false, &ok),
                     current == 1 ? QString("Noon") : QString());
        }
    }

    void input_numbers_and_texts()
    {
        bool ok = true;
        act_on_modal_later([](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            QCOMPARE(dialog->intStep(), 2);
            dialog->setIntValue(7);
            dialog->accept();
        });
        QCOMPARE(ko::input_get_int(nullptr, "N", "Number", 3, 1, 9, 2, &ok), 7);
        QVERIFY(ok);
        act_on_modal_later([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QCOMPARE(ko::input_get_int(nullptr, "N", "Number", 3, 1, 9, 2, &ok), 3);
        QVERIFY(!ok);

        act_on_modal_later([](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            QVERIFY(dialog->findChild<QPlainTextEdit*>());
            dialog->setTextValue("changed\ntext");
            dialog->accept();
        });
        QCOMPARE(ko::input_get_multi_line_text(nullptr, "M", "Text", "line 1\nline 2", &ok), QString("changed\ntext"));
        click_button_later("Cancel");
        QCOMPARE(ko::input_get_text(nullptr, "P", "Name", QLineEdit::Normal, "start", &ok), QString());
        QVERIFY(!ok);
    }

    void input_dialog_is_painted_dark()
    {
        QImage picture;
        QColor line_edit_colour;
        act_on_modal_later([&](QWidget* w) {
            picture = w->grab().toImage();
            const QImage edit_picture = w->findChild<QLineEdit*>()->grab().toImage();
            line_edit_colour = edit_picture.pixelColor(edit_picture.width() / 2, 2);
            qobject_cast<QDialog*>(w)->reject();
        });
        ko::input_get_text(nullptr, "P", "Name", QLineEdit::Normal, "");
        QVERIFY(colour_near(picture.pixelColor(1, 1), 47, 47, 47, 0));
        QVERIFY2(colour_near(line_edit_colour, 38, 38, 38, 0), qPrintable(line_edit_colour.name()));
    }
};

QTEST_MAIN(test_message_box)
#include "test_message_box.moc"
