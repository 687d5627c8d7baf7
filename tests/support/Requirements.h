#pragma once
// What some tests need from the machine, and skipping with a clear message when it is missing.

#include "Programs.h"

#include <QTest>

namespace support {

// True when the label-template database is installed where the stock library reads it.
bool HasLabelDatabase();

} // namespace support

// Skips the test case when the label-template database is not installed.
#define SKIP_WITHOUT_LABEL_DATABASE()                                                                             \
    do {                                                                                                          \
        if (!support::HasLabelDatabase())                                                                         \
            QSKIP("the label-template database is not installed (package glabels-data)");                         \
    } while (false)

// Skips the test case when one of the programs named is not on PATH, naming it.
#define SKIP_WITHOUT_PROGRAMS(...)                                                                                \
    do {                                                                                                          \
        const QString missingProgram = support::MissingProgram(QStringList{__VA_ARGS__});                         \
        if (!missingProgram.isEmpty())                                                                            \
            QSKIP(qPrintable(missingProgram + QStringLiteral(" is not installed")));                              \
    } while (false)
