#pragma once
// The Qt that pictures and label sheets are drawn with; text rows never start it.

#include <QGuiApplication>

#include <memory>

namespace cli {

// Offscreen unless the caller chose a platform, with Qt's own start-up chatter (runtime folder, font
// cache) kept from the command's user; only its critical messages reach standard error.
std::unique_ptr<QGuiApplication> StartOffscreenQt(char* programName);

} // namespace cli
