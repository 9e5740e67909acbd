#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of a run: `quillory [FILE]`, or --help, or --version.
struct CommandLine {
    // The entry to open once the gate lets the user in, as a full path; empty for none.
    QString file;
    // Whether the run ends at once, printing `text`, with `exitCode`: after help or the version
    // (0, on standard output) or a usage error (2, on standard error).
    bool endsAtOnce = false;
    int exitCode = 0;
    QString text;

    // `arguments` start with the program's name. Before the application object has taken Qt's
    // own options out, only help and the version can be told apart from a usage error.
    static CommandLine Read(const QStringList &arguments);
    // Prints `text` where it belongs; returns `exitCode`.
    int End() const;
};
