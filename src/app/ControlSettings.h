#pragma once
// Which control shows which setting of the settings file's [Settings] section: one row per control, which
// puts the setting into the control at the first activation and reads it back at the close.

#include "Settings.h"

#include <QList>
#include <functional>

class LabelDialog;

namespace Ui {
class MainWindow;
}

namespace kelm {

class ControlSettings {
public:
    // A control's setter and getter for one field of Settings.
    struct Row {
        std::function<void(const Settings&)> apply;
        std::function<void(Settings&)> collect;
    };

    // controls: the main window's; labels: the label dialog, whose row and check box are settings too.
    ControlSettings(Ui::MainWindow& controls, LabelDialog& labels);

    // Every control takes its setting, in the file's order.
    void apply(const Settings& settings) const;
    // Every setting a control shows, read from it; the others (the window's position, the tip at start-up)
    // stay as they are.
    void collect(Settings& settings) const;

private:
    QList<Row> m_rows;
};

} // namespace kelm
