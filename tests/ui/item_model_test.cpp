// Tests of the line model and the tree view: lines, values, colours, buttons and column widths.
#include <QAbstractItemModelTester>
#include <QTest>

#include "TreeBuilder.h"
#include "merge/Comparison.h"
#include "ui/ItemView.h"

using namespace carryover;
using namespace carryover::test;
using namespace carryover::ui;

namespace {

ItemPtr sampleTree() {
    static const uint8_t bytes[] = {0x01, 0xab};
    return root("s.plist", {boolean("On", true), boolean("Off", false), integer("Minus", -7),
                            leaf("Most", ItemData::unsignedInteger(18446744073709551615u)),
                            leaf("Two", ItemData::real(2)), leaf("Bytes", ItemData::bytes(bytes)),
                            leaf("When", ItemData("2020-01-01T00:00:00Z", ItemDataType::Date)),
                            dict("Net", {str("Host", "h"), leaf("Unknown", ItemData())})});
}

QStringList column(const ItemModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

} // namespace

class ItemModelTest : public QObject {
    Q_OBJECT
  private slots:
    void linesInPreOrderWithValuesAsShown() {
        ItemModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRoot(sampleTree());
        // The root's line first; a None node has no line.
        QCOMPARE(column(model, ItemModel::NameColumn), QStringList({"s.plist", "On", "Off", "Minus", "Most",
                                                                    "Two", "Bytes", "When", "Net", "Host"}));
        QCOMPARE(column(model, ItemModel::ValueColumn),
                 QStringList({"", "YES", "NO", "-7", "18446744073709551615", "2.000000", "01 ab",
                              "2020-01-01T00:00:00Z", "", "h"}));
        QCOMPARE(column(model, ItemModel::TypeColumn),
                 QStringList(
                     {"", "Bool", "Bool", "Int", "Int", "Double", "Data", "Date", "Dictionary", "String"}));
        QCOMPARE(model.index(9, 0).data(ItemModel::LevelRole).toInt(), 2);
        for (ItemPtr empty : {ItemPtr(), makeNode("", "", ItemDataType::None),
                              makeNode("x", "Dateifehler: x", ItemDataType::Error)}) {
            model.setRoot(empty);
            QCOMPARE(model.rowCount(), 0);
        }
    }

    void lineColoursFollowThePalette() {
        // The view follows its palette.
        ItemView view;
        view.lines().setRoot(sampleTree());
        QPalette dark = view.palette();
        dark.setColor(QPalette::Window, Qt::black);
        dark.setColor(QPalette::WindowText, Qt::white);
        view.setPalette(dark);
        QCOMPARE(view.model()->index(1, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
    }

    void buttonsOnlyWhereAnOperationStartsAndNeverOnTheResult() {
        auto differences = compare(root("c.plist", {integer("Port", 2), dict("New", {str("K", "v")})}),
                                   root("s.plist", {integer("Port", 1)}))
                               .differences;
        ItemModel model;
        model.setRoot(differences);
        QCOMPARE(column(model, ItemModel::NameColumn), QStringList({"s.plist", "New", "K", "Port", "Port"}));
        QList<bool> buttons;
        for (int row = 0; row < model.rowCount(); ++row)
            buttons << model.index(row, 0).data(ItemModel::HasSwitchRole).toBool();
        QCOMPARE(buttons, QList<bool>({false, true, false, true, true}));
        QVERIFY(model.index(3, 1).data(Qt::ToolTipRole).toString().startsWith("Merged"));
        model.setSwitchesShown(false);
        for (int row = 0; row < model.rowCount(); ++row)
            QVERIFY(!model.index(row, 0).data(ItemModel::HasSwitchRole).toBool());
    }

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
