// carryover: the desktop application. `carryover [CONFIG [SAMPLE]]` opens the window and loads the
// given files as if they had been dropped, the configuration first.
#include <QApplication>
#include <QIcon>

#include <csignal>

#include "ui/ContentView.h"
#include "ui/MainWindow.h"

int main(int argc, char** argv) {
    // Saving to a file beyond a file-size limit, or to a pipe whose reader went away, fails with an error
    // the window reports instead of ending the application.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    Q_INIT_RESOURCE(resources);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Carryover"));
    QApplication::setOrganizationName(QStringLiteral("Carryover"));
    QApplication::setApplicationVersion(QStringLiteral(CARRYOVER_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/carryover.png")));

    carryover::ui::MainWindow window;
    window.show();
    const QStringList files = QApplication::arguments().mid(1);
    if (files.size() > 0) window.content().openFile(carryover::ui::Side::Config, files[0]);
    if (files.size() > 1) window.content().openFile(carryover::ui::Side::Sample, files[1]);
    return QApplication::exec();
}
