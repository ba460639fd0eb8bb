#pragma once

#include <QMap>
#include <QStringList>
#include <optional>

// A command line of tarvik-cli taken apart: the command, its operands and its options.
struct CliArguments {
    bool worker = false;  // run as one terminal's worker, reporting JSON lines
    QString command;
    QStringList operands;
    QMap<QString, QString> values;  // --to, --from, --into, --members, --jobs, --baud
    QStringList flags;              // --json, --force, --yes, --all, --help

    bool Flag(const char* name) const { return flags.contains(QLatin1String(name)); }
    QString Value(const char* name) const { return values.value(QLatin1String(name)); }
    bool Has(const char* name) const { return values.contains(QLatin1String(name)); }
    // A comma-separated value as its items, empty ones left out.
    QStringList List(const char* name) const;
};

// The parsed command line, or why it is not one (an unknown or incomplete option).
struct ParsedArguments {
    std::optional<CliArguments> arguments;
    QString error;
};

ParsedArguments ParseArguments(const QStringList& arguments);

// The usage of one command, or of them all for an unknown or empty one.
QString Usage(const QString& command);
// Whether `command` is one of tarvik-cli's.
bool IsCommand(const QString& command);
// Whether `command` serves several terminals, one worker process each.
bool IsFleetCommand(const QString& command);
// Why the operands and options do not fit the command; empty when they do.
QString CheckArguments(const CliArguments& arguments);
