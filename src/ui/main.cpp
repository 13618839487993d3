// carryover: the desktop application. `carryover [CONFIG [SAMPLE]]` opens the window and loads the
// given files as if they had been dropped, the configuration first. `--help` and `--version` print and
// end without opening a window, so they need no display.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <csignal>
#include <cstdio>

#include "ui/ContentView.h"
#include "ui/MainWindow.h"

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("main", text);
}

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv) {
    // Saving to a file beyond a file-size limit, or to a pipe whose reader went away, fails with an error
    // the window reports instead of ending the application.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);

    // The arguments are read before the application is made, which needs a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Carries a configuration property list over into the structure of a newer full sample."));
    parser.addPositionalArgument(QStringLiteral("CONFIG"), tr("The configuration to load."),
                                 QStringLiteral("[CONFIG"));
    parser.addPositionalArgument(QStringLiteral("SAMPLE"), tr("The full sample to load."),
                                 QStringLiteral("[SAMPLE]]"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Print this help and end."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     tr("Print the version and the license and end."));
    parser.addOption(help);
    parser.addOption(version);
    const bool parsed = parser.parse(arguments);
    if (parsed && parser.isSet(help)) {
        print(stdout,
              parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("carryover")));
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        print(stdout, tr("carryover %1, MIT license\n").arg(QStringLiteral(CARRYOVER_VERSION)));
        return 0;
    }
    const QStringList files = parser.positionalArguments();
    if (!parsed || files.size() > 2) {
        print(stderr, QStringLiteral("carryover: %1\n%2\n")
                          .arg(parsed ? tr("at most two files: CONFIG and SAMPLE") : parser.errorText(),
                               tr("Usage: carryover [CONFIG [SAMPLE]]; carryover --help tells more.")));
        return 2;
    }

    Q_INIT_RESOURCE(resources);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Carryover"));
    QApplication::setOrganizationName(QStringLiteral("Carryover"));
    QApplication::setApplicationVersion(QStringLiteral(CARRYOVER_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/carryover.png")));

    carryover::ui::MainWindow window;
    window.show();
    if (files.size() > 0) window.content().openFile(carryover::ui::Side::Config, files[0]);
    if (files.size() > 1) window.content().openFile(carryover::ui::Side::Sample, files[1]);
    return QApplication::exec();
}
