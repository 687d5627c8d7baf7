#pragma once
// A label stock as an RTF document for a word processor: a borderless table whose cells are the labels,
// with exact row heights, a narrow cell between label columns for the gap, a gap row between label rows
// where the stock has one, and page margins that put the first label where the stock has it. The user
// clicks in a label and pastes. Our stocks' templates and a user's custom.rtf both come from here.

#include "Stock.h"

#include <QByteArray>
#include <QString>

namespace labels {

inline constexpr char kCustomTemplateFile[] = "custom.rtf";

enum class TemplateMarkers {
    None,
    Top,    // every label holds two markers (L at its left, R at its right edge), at its top
    Bottom, // the same at its bottom
};

// Whether the stock can be written as a template; false with the reason in why (more than one layout, a
// label that is not a rectangle, or what CanPrintOn refuses).
bool CanMakeTemplate(const Stock& stock, QString& why);

// The width in points that a line pasted into one of the template's labels has before it wraps: the label less
// the indent the text keeps from each edge.
double TemplateLineWidth(const Stock& stock);

// The template; title names it in the document's properties ("lb167", "custom"). Empty when
// CanMakeTemplate refuses the stock.
QByteArray LabelTemplateRtf(const Stock& stock, const QString& title,
                            TemplateMarkers markers = TemplateMarkers::None);

} // namespace labels
