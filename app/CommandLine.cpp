#include "CommandLine.h"

#include <QCommandLineParser>

#include "Version.h"

namespace {

struct OptionText {
    QStringList names;
    const char* value;  // the value's name for the parser; nullptr: a switch
    const char* shown;  // the option as the usage shows it
    const char* help;   // a line break continues under the line before
};

// The program's options, in the order the usage lists them.
const OptionText kOptions[] = {
    {{"demo"},
     nullptr,
     "--demo",
     "the Port menu starts on \"DEMO (simulated radio)\", a radio inside\nthe program, for "
     "this run"},
    {{"print"},
     nullptr,
     "--print FILE.sin",
     "print the file's settings sheet on the default printer and end,\nwithout a window"},
    {{"print-to"}, "PRINTER", "--print-to PRINTER", "print the sheet on the printer named PRINTER"},
    {{"print-pdf"},
     "OUT.pdf",
     "--print-pdf OUT.pdf",
     "draw the sheet into the PDF file OUT.pdf; needs no display"},
    {{"h", "help"}, nullptr, "--help", "show this text"},
    {{"version"}, nullptr, "--version", "show the program's version"},
};

// The options Qt's application takes for itself from the same command line (the session
// manager restarts a program with -session, a user may give -platform or -style): they pass
// through to it, unlisted.
const char* const kQtValueOptions[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "style",         "stylesheet",
};
const char* const kQtSwitches[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString Usage() {
    QString usage = QStringLiteral(
        "Usage: kvprog [--demo] [FILE.sin]\n"
        "       kvprog --print FILE.sin\n"
        "       kvprog --print-to PRINTER FILE.sin\n"
        "       kvprog --print-pdf OUT.pdf FILE.sin\n"
        "       kvprog --help | --version\n"
        "Programs the channel data of a 16-channel UHF handheld radio over a serial cable.\n\n"
        "  FILE.sin              the channel data file to open (without it: a new document)\n");
    const QString indent(24, QLatin1Char(' '));
    for (const OptionText& option : kOptions) {
        const QString help =
            QString::fromLatin1(option.help).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent);
        usage += QStringLiteral("  %1  %2\n").arg(QLatin1String(option.shown), -20).arg(help);
    }
    usage += QStringLiteral(
        "\nExit status: 0 success, 1 a file that cannot be opened, printed or written,\n"
        "2 bad usage. A file whose name starts with \"-\" follows \"--\": kvprog -- -old.sin\n"
        "kvprog-cli reads, writes and checks radios from a terminal: kvprog-cli --help\n");
    return usage;
}

CommandLine Refuse(const QString& why) {
    return {CommandLine::Ask::Refused,
            {},
            QStringLiteral("kvprog: %1\nkvprog --help lists what it takes.\n").arg(why)};
}

void AddOptions(QCommandLineParser& parser) {
    for (const OptionText& option : kOptions) {
        parser.addOption(
            QCommandLineOption(option.names, QString(),
                               option.value != nullptr ? QLatin1String(option.value) : QString()));
    }
    for (const char* name : kQtValueOptions) {
        parser.addOption(QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("x")));
    }
    for (const char* name : kQtSwitches) {
        parser.addOption(QCommandLineOption(QLatin1String(name)));
    }
}

// Which print option, with its printer or PDF; why not, for two or one without a file.
QString ChoosePrint(const QCommandLineParser& parser, StartOptions& options) {
    int chosen = 0;
    if (parser.isSet(QStringLiteral("print"))) {
        options.print = StartOptions::Print::Default;
        ++chosen;
    }
    if (parser.isSet(QStringLiteral("print-to"))) {
        options.print = StartOptions::Print::Printer;
        options.printTarget = parser.value(QStringLiteral("print-to"));
        ++chosen;
    }
    if (parser.isSet(QStringLiteral("print-pdf"))) {
        options.print = StartOptions::Print::Pdf;
        options.printTarget = parser.value(QStringLiteral("print-pdf"));
        ++chosen;
    }
    if (chosen > 1) {
        return QStringLiteral("--print, --print-to and --print-pdf go one at a time.");
    }
    if (chosen == 1 && options.file.isEmpty()) {
        return QStringLiteral("which file to print? Name FILE.sin after the option.");
    }
    return {};
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& words) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    AddOptions(parser);
    if (!parser.parse(QStringList(QStringLiteral("kvprog")) + words)) {
        return Refuse(parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        return {CommandLine::Ask::Help, {}, Usage()};
    }
    if (parser.isSet(QStringLiteral("version"))) {
        return {CommandLine::Ask::Version,
                {},
                QStringLiteral("kvprog %1\n").arg(QLatin1String(kProgramVersion))};
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        return Refuse(QStringLiteral("one file at a time, not %1.").arg(files.join(", ")));
    }
    CommandLine line;
    line.options.file = files.value(0);
    line.options.demo = parser.isSet(QStringLiteral("demo"));
    if (const QString why = ChoosePrint(parser, line.options); !why.isEmpty()) {
        return Refuse(why);
    }
    return line;
}
