#pragma once
// The faces and pictures the main window's fixed layout was drawn with, and stand-ins where a system
// lacks them.

#include <QFont>
#include <QIcon>
#include <initializer_list>

class QAbstractButton;

namespace kelm {

// Maps the faces the layout names to installed ones of similar widths, so the fixed layout still fits.
// Once a run; later calls do nothing.
void SubstituteLayoutFaces();

// The layout's face at a size in pixels.
QFont LayoutFont(int pixels, bool bold = false);

// Gives each button its picture, found by the button's object name among the main window's glyphs. A
// picture that is not installed leaves the button with its caption only.
void SetButtonPictures(std::initializer_list<QAbstractButton*> buttons);

// The program's icon in every size installed; null when none is.
QIcon ProgramIcon();

} // namespace kelm
