// The tree view's columns: the button, the name in min(W / 3, 300) less its indent, the kind.
#include <QTest>

#include "ui/ItemView.h"

using namespace carryover::ui;

class ItemModelTest : public QObject {
    Q_OBJECT
  private slots:
    void columnWidthsFollowTheViewWidth() {
        QCOMPARE(nameWidth(1200, 0), 300);
        QCOMPARE(nameWidth(600, 0), 200);
        QCOMPARE(nameWidth(600, 3), 140);
        QCOMPARE(nameWidth(600, 20), 0);
        ItemView view;
        view.show();
        for (int width : {1200, 600}) {
            view.resize(width, 400);
            QCOMPARE(view.columnWidth(ItemModel::SwitchColumn), 25);
            QCOMPARE(view.columnWidth(ItemModel::NameColumn), nameWidth(width, 0));
            QCOMPARE(view.columnWidth(ItemModel::TypeColumn), 100);
        }
    }
};

QTEST_MAIN(ItemModelTest)
#include "item_model_test.moc"
