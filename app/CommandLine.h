// kvprog's command line, read before the application exists: --help and --version need no
// display, and a word that is no option of the program is refused rather than opened.
#pragma once

#include <QString>
#include <QStringList>

// How the program starts.
struct StartOptions {
    enum class Print {
        None,     // the window
        Default,  // --print: the default printer
        Printer,  // --print-to PRINTER
        Pdf,      // --print-pdf OUT.pdf
    };
    QString file;       // the channel data file to open or print; empty: a new document
    bool demo = false;  // this run's port is the demo radio
    Print print = Print::None;
    QString printTarget{};  // the printer's name or the PDF's path
};

struct CommandLine {
    enum class Ask {
        Start,    // start with options
        Help,     // write text (the usage) to standard output and end with 0
        Version,  // write text (the version) to standard output and end with 0
        Refused,  // write text (why) to standard error and end with 2
    };
    Ask ask = Ask::Start;
    StartOptions options;
    QString text;
};

// The words after the program's name, as the user gave them.
CommandLine ParseCommandLine(const QStringList& words);
