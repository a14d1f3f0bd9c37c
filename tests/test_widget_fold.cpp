// The folding panel inside a grid layout: folding and unfolding its row,
// its signal, the button texts and the animation.
#include "ko/cell_options.h"
#include "ko/layout.h"
#include "ko/widget_fold.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A window whose layout holds a fold in row 0 (200 high) and a label in row 1.
struct fold_window
{
    QWidget window;
    ko::qt::layout* grid = nullptr;
    ko::qt::widget_fold* fold = nullptr;
    QLabel* below = nullptr;

    fold_window(QPushButton* button, double duration)
    {
        grid = new ko::qt::layout(&window, 1, false);
        fold = new ko::qt::widget_fold("Title", button, duration, 25);
        grid->add(ko::qt::cell(fold, ko::qt::row_height(200)));
        below = new QLabel("below");
        grid->add(ko::qt::cell(below, ko::qt::row_height(30)));
        window.resize(300, 400);
        window.show();
        QCoreApplication::processEvents();
    }

    QPushButton* button() const { return fold->findChild<QPushButton*>(); }
};

} // namespace

class test_widget_fold : public QObject {
    Q_OBJECT
private slots:
    void folds_and_unfolds_its_row()
    {
        fold_window w(nullptr, 0.0);
        QPushButton* button = w.button();
        QVERIFY(button);
        // The content area takes the height of its row at the next layout pass.
        QWidget* holder = w.fold->content_layout()->parentWidget();
        w.window.resize(310, 400);
        QCoreApplication::processEvents();
        QCOMPARE(holder->height(), 200);
        QCOMPARE(holder->y(), 25);

        QSignalSpy folded(w.fold, &ko::qt::widget_fold::folded);

        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(w.fold->folded_state());
        QCOMPARE(w.grid->row_heights.at(0), 25);
        QCOMPARE(button->text(), QString("unfold"));
        QCOMPARE(folded.count(), 1);
        QCOMPARE(folded.at(0).at(0).toBool(), false);
        QTRY_COMPARE_WITH_TIMEOUT(w.below->y(), 25, 2000);

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(w.grid->row_heights.at(0), 200);
        QCOMPARE(button->text(), QString("fold"));
        QCOMPARE(folded.at(1).at(0).toBool(), true);
        QTRY_COMPARE_WITH_TIMEOUT(w.below->y(), 200, 2000);
    }

    void caller_button_keeps_its_text_and_animation_takes_its_time()
    {
        auto* own = new QPushButton("Details");
        fold_window w(own, 0.2);
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(own, Qt::LeftButton);
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(w.grid->row_heights.at(0), 25);
        QVERIFY2(elapsed >= 120 && elapsed < 2000, qPrintable(QString::number(elapsed)));
        QCOMPARE(own->text(), QString("Details"));
    }

    void outside_a_grid_layout_nothing_happens()
    {
        ko::qt::widget_fold fold("Loose", nullptr, 0.0, 25);
        fold.show();
        QSignalSpy folded(&fold, &ko::qt::widget_fold::folded);
        QTest::mouseClick(fold.findChild<QPushButton*>(), Qt::LeftButton);
        QCOMPARE(folded.count(), 0);
        QVERIFY(!fold.folded_state());
    }

    void deleted_before_its_timers_run()
    {
        delete new ko::qt::widget_fold("Gone", nullptr, 0.0, 25);
        QCoreApplication::processEvents(); // the posted steps must not run on it
    }
};

QTEST_MAIN(test_widget_fold)
#include "test_widget_fold.moc"
