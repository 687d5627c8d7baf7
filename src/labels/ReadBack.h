#pragma once
// A sheet's labels read back as a scanner reads them: each label drawn alone at the device's resolution, on
// the device's dot grid, decoded by a Code 39 decoder made for the job (ZXing) and compared with the row it
// must hold. Printing and saving check a sheet with it before any paper or file is used.

#include "Sheet.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace labels {

enum class LabelReading {
    Reads,       // decodes as the row it holds
    DoesNotRead, // decodes as nothing, or as something else
    Blank,       // holds no bar code: nothing to read
};

// Label (from 0, counted over all pages) drawn by DrawLabel with options on a device of dpi, where it sits on
// its page, and decoded with the sheet's check-character and Full ASCII rules.
LabelReading ReadLabelBack(const Sheet& sheet, qsizetype label, const DrawOptions& options, int dpi);

struct SheetReading {
    qsizetype checked = 0;    // labels with a bar code that were read back
    QList<qsizetype> notRead; // the labels (from 0) among them that do not read back, in order
    bool cancelled = false;   // stopped before every label was read
};

// Called from the reading threads with the labels read so far and the labels that hold a bar code.
using ReadingProgress = std::function<void(qsizetype done, qsizetype total)>;

// Every label of the sheet read back, on every core. Setting cancel stops it after the labels under way.
SheetReading ReadSheetBack(const Sheet& sheet, const DrawOptions& options, int dpi,
                           const std::atomic_bool* cancel = nullptr, const ReadingProgress& progress = {});

// "label N (row R): does not read back" for each label that does not, N counted from 1 over all pages of the
// run: the words the command line and the window both use.
QStringList ReadBackProblems(const Sheet& sheet, const SheetReading& reading);
// "all 1,000 labels read back", "the label reads back", how many of them do not, or that it was cancelled.
QString ReadBackSummary(const SheetReading& reading);

} // namespace labels
