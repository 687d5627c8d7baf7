#pragma once
// The files the installation puts beside the program or with its shared files, found from the program's
// own folder, so that a prefix of the user's own (bin/ beside share/kelm/) and a system-wide package
// (/usr/bin beside /usr/share/kelm/) both work without a fixed path.

#include <QString>

namespace kelm {

// The help file's name, as the shell is given it when the current folder holds it.
inline constexpr char kHelpFileName[] = "zovod.chm";

// The help file to open: its bare name when the current folder holds it (the shell looks there), else
// its path beside the program or, for a system-wide install, with the shared files; the bare name when
// neither has it.
QString HelpFile(const QString& programFolder);

// The installation's copy of the data folder (the settings file and the label templates).
QString InstalledDataFolder(const QString& programFolder);

// Makes the data folder at the first start, as a copy of the installation's data: only when neither the
// folder nor anything under its name exists, and all at once (copied under a temporary name and then
// renamed), so that a failed copy never leaves a half folder behind. False when nothing was made.
bool MakeDataFolder(const QString& folder, const QString& installedData);

} // namespace kelm
