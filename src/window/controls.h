#pragma once

#include <string>
#include <string_view>

#include <QHash>
#include <QString>

#include "ops/operation.h"
#include "window/control_model.h"

class QWidget;

namespace kivo::window {

/// The bridge between the parameter controls of the tabs and the operations' options: finds every
/// control by its objectName under the window and reads or writes its text.
class ParamControls {
public:
    explicit ParamControls(QWidget* root);

    /// Every parameter control's text: combo text, box text (multi-line boxes with CrLf line
    /// breaks), check box "1"/"0", date yyyy/mm/dd.
    ControlTexts read() const;
    /// The texts of the options of `op`, from the controls that hold them.
    OptionTexts optionsOf(const OperationDeclaration& op) const;
    /// Shows the options a run of `op` changed in their controls.
    void show(const OperationDeclaration& op, const std::vector<OptionText>& changed) const;

    /// The control named `name`, or nullptr.
    QWidget* control(std::string_view name) const;

    /// Sets a control's text as the program does; the caller holds the guard when no input rule
    /// may fire.
    void assign(std::string_view name, const Text& value) const;
    /// Sets a control to its load default (combo default, box default, check box, today).
    void restoreDefault(std::string_view name) const;

    /// The text of one control of any parameter kind.
    static Text readControl(const QWidget* control);
    static void writeControl(QWidget* control, const Text& value);

private:
    QHash<QString, QWidget*> m_controls;
};

/// The load default of a parameter control.
Text loadDefault(std::string_view name);

}  // namespace kivo::window
