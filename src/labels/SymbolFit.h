#pragma once
// A bar code set on a label for the printer it is printed on: the narrow bar a whole number of the
// printer's dots, the bars as tall as the label allows, turned when only the label's long side holds it,
// and whether the result scans by the usual Code 39 rules.

#include "Stock.h"
#include "render/BarCodeDrawing.h"

#include <QPointF>
#include <QRect>
#include <QString>

class QPainter;

namespace labels {

// A narrow bar of one dot prints too thin or too thick on most printers.
inline constexpr int kLeastModuleDots = 2;
// 7.5 mil: the narrowest bar Code 39 scanners are made for.
inline constexpr double kLeastModuleMm = 0.19;
// A quarter inch, or this share of the symbol's length when that is more: shorter bars are missed by a
// scanner held a little askew.
inline constexpr double kLeastBarHeightMm = 6.35;
inline constexpr double kLeastBarHeightShare = 0.15;

// The resolutions offered for a PDF file of labels: the usual label printers' and office printers'.
inline constexpr int kPdfResolutions[] = {203, 300, 600};

// Whether the symbol runs across the label or is turned a quarter to run along its height.
enum class Rotation { Auto, Upright, Turned };

// What the user asks of every bar code on a sheet.
struct SymbolRules {
    render::BarCodeLook look; // the typeface's module at look.pointSize is the widest narrow bar drawn
    double barHeightMm = 0;   // 0: as tall as the label allows
    Rotation rotation = Rotation::Auto;
    int dpi = render::kDefaultDpi; // the device's dots, which every edge lies on
};

// A symbol of a given length as it is set on every label of a stock, in device dots.
struct SymbolFit {
    int characters = 0; // of the bar text, start and stop included
    int dpi = 0;
    int module = 0; // the narrow bar; 0 when the symbol fits the label at no size
    int barHeight = 0;
    int textSize = 0; // the readable characters' pixel size
    int textLine = 0; // their line and the gap that parts it from the bars
    bool turned = false;

    // Bars, spaces and quiet zones, in modules.
    int widthModules() const;
    // The symbol upright: its width (quiet zones included) and height (bars and text).
    QSize size() const;
    // The narrow bar is wide enough to scan: kLeastModuleDots and kLeastModuleMm.
    bool moduleScans() const;
    // The least bar height that scans for this symbol, in dots.
    int leastBarHeight() const;
    bool barsScan() const { return barHeight >= leastBarHeight(); }
};

// The symbol of a bar text of characters (start and stop included) fitted to every label of stock: the
// largest whole module, up to the typeface's at the point size asked, that lets the symbol, its quiet zones
// and its text fit the label less its margin, preferring a module and bars that scan, turned when that is
// what fits (or as rules.rotation says). module is 0 when it fits at no size.
SymbolFit FitSymbol(const Stock& stock, int characters, const SymbolRules& rules);

// The box the fitted symbol covers on the label (its rectangle in points), in whole dots from the page's
// corner, offsetDots (the printer's nudge) included; turned when the fit is. Empty when it does not fit.
QRect PlaceSymbol(const Stock& stock, const QRectF& label, const SymbolFit& fit, const QPointF& offsetDots);

// Draws barText as fitted into its place, the painter's units being the fit's dots: the bars as rectangles
// from the element table, the readable characters in a plain face below them or, with textAbove, above.
// Leaves the painter's pen and brush black.
void DrawSymbol(QPainter& painter, const QRect& place, const QString& barText, const SymbolFit& fit,
                bool textAbove);

// Millimetres in dots at dpi, and back.
double DotsToMm(double dots, int dpi);

} // namespace labels
