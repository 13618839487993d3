// Tests of the window: its first size and title, and the frame it keeps between runs.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include "ui/MainWindow.h"

using namespace carryover::ui;

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName("CarryoverTest");
        QCoreApplication::setApplicationName("CarryoverTest");
        QSettings().clear();
    }

    void opensAt480By300ThenKeepsItsFrame() {
        {
            MainWindow window;
            QCOMPARE(window.windowTitle(), QString("Carryover"));
            QCOMPARE(window.size(), QSize(480, 300));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.resize(700, 500);
            QVERIFY(window.close());
        }
        QVERIFY(QSettings().contains("Main Window"));
        MainWindow again;
        QCOMPARE(again.size(), QSize(700, 500));
        QSettings().clear();
    }

    void ctrlQClosesTheWindow() {
        MainWindow window;
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
