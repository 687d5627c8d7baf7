#include "ControlSettings.h"

#include "LabelDialog.h"
#include "ui_MainWindow.h"

#include <QSignalBlocker>
#include <functional>

namespace kelm {

namespace {

// A row for the field that control shows: set(control, value) puts it in, get(control) reads it back.
template <typename Control, typename Field, typename Set, typename Get>
ControlSettings::Row Bind(Control* control, Field Settings::*field, Set set, Get get)
{
    return {[=](const Settings& s) { std::invoke(set, control, s.*field); },
            [=](Settings& s) { s.*field = std::invoke(get, control); }};
}

// Put in as it stands: the size rules apply when the user edits it or makes a bar code.
void PutQuietly(QComboBox* box, const QString& text)
{
    const QSignalBlocker quiet(box);
    box->setEditText(text);
}

} // namespace

ControlSettings::ControlSettings(Ui::MainWindow& controls, LabelDialog& labels)
{
    // The style is a pair of radio buttons: the one for text below, or else the one for text above.
    QRadioButton* above = controls.textAboveButton;
    m_rows = {
        Bind(
            controls.textBelowButton, &Settings::textBelow,
            [above](QRadioButton* below, bool textBelow) { (textBelow ? below : above)->setChecked(true); },
            &QRadioButton::isChecked),
        Bind(controls.pointSizeBox, &Settings::pointSize, &PutQuietly, &QComboBox::currentText),
        Bind(controls.dataEdit, &Settings::data, &QLineEdit::setText, &QLineEdit::text),
        Bind(controls.checksumBox, &Settings::checksum, &QCheckBox::setChecked, &QCheckBox::isChecked),
        Bind(controls.fullAsciiBox, &Settings::fullAscii, &QCheckBox::setChecked, &QCheckBox::isChecked),
        Bind(&labels, &Settings::labelSize, &LabelDialog::setLabelSize, &LabelDialog::labelSize),
        Bind(&labels, &Settings::explainPaste, &LabelDialog::setExplainPaste, &LabelDialog::explainPaste),
    };
}

void ControlSettings::apply(const Settings& settings) const
{
    for (const Row& row : m_rows)
        row.apply(settings);
}

void ControlSettings::collect(Settings& settings) const
{
    for (const Row& row : m_rows)
        row.collect(settings);
}

} // namespace kelm
