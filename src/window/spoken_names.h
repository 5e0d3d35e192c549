#pragma once

#include <vector>

#include <QString>
#include <QStringList>

class QWidget;

namespace kivo {
struct OperationDeclaration;
struct ParamDeclaration;
}  // namespace kivo

namespace kivo::window {

class MainLayout;

/// The language of the names a screen reader says and of the operations' tooltips: Japanese in a
/// Japanese session, English otherwise. The captions and messages stay Japanese in both.
enum class Language { Japanese, English };

/// The session's language, from its locale.
Language sessionLanguage();

/// `japanese` or `english`, as the session speaks.
QString spoken(const QString& japanese, const QString& english);

/// An operation's name: its caption with its blanks named after the parameters that stand in
/// them (`inBlanks`, in the caption's order), or in English its description.
QString operationName(const OperationDeclaration& op, const std::vector<const ParamDeclaration*>& inBlanks);

/// What an operation does, in plain text: its description and its example run.
QString operationDescription(const OperationDeclaration& op);

/// A parameter's name: what its value is for.
QString parameterName(const ParamDeclaration& p);

/// A Reset button's name: the operation it restores, and the parameters when it restores only
/// some of them.
QString resetName(const QString& operation, const QStringList& onlyThese);

/// Gives a control its name and description as a screen reader announces them.
void nameControl(QWidget* control, const QString& name, const QString& description = {});

/// Lets the combo boxes say their names: on Linux Qt reads a combo's value as its name and
/// ignores the name given to it. Called once, before any window exists.
void letCombosSayTheirNames();

/// Names the controls around the tabs: the panes, their buttons, Execute and Stop.
void nameWindowControls(const MainLayout& layout);

}  // namespace kivo::window
