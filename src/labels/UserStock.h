#pragma once
// A label stock the user typed: page size, label size, columns and rows, the first label's corner and
// the pitch, in millimetres or inches. The settings file keeps each as one value (UserStockValue) under
// its name, in a section of its own.

#include "Stock.h"

#include <QString>

namespace labels {

struct UserStockInput {
    QString name;
    bool inches = false; // the unit of every length below; millimetres otherwise
    double pageWidth = 0, pageHeight = 0;
    double labelWidth = 0, labelHeight = 0;
    int columns = 1, rows = 1;
    double left = 0, top = 0;      // the first label's top-left corner from the page's
    double pitchX = 0, pitchY = 0; // from one label's left (top) edge to the next one's
};

// The stock; false with the reason in error when it cannot be printed on (no name, no size, labels
// that overlap or run off the page).
bool MakeUserStock(const UserStockInput& input, Stock& stock, QString& error);

// The input as one settings value: "mm 210 297 70 37 3 8 0 0 70 37" (unit, page, label, columns and
// rows, first corner, pitch). The name is the key it is stored under.
QString UserStockValue(const UserStockInput& input);
// Reads such a value back for the name; false with a reason for anything else.
bool ParseUserStockValue(const QString& name, const QString& value, UserStockInput& input, QString& error);

} // namespace labels
