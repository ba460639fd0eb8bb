#pragma once

#include <QStringList>

// Runs tarvik-cli with its arguments (the program's name left out); the exit status: 0 when
// every terminal succeeded, 1 when any failed, 2 for a usage error.
int RunCli(const QStringList& arguments);
