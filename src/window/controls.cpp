#include "window/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QWidget>

#include "text/dates.h"
#include "window/qtext.h"
#include "window/text_box.h"

namespace kivo::window {

ParamControls::ParamControls(QWidget* root) {
    const ControlTexts names = ControlTexts::defaults(today());
    for (const auto& [name, value] : names.all()) {
        if (auto* w = root->findChild<QWidget*>(QString::fromStdString(name)))
            m_controls.insert(w->objectName(), w);
    }
}

QWidget* ParamControls::control(std::string_view name) const {
    return m_controls.value(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), nullptr);
}

ControlTexts ParamControls::read() const {
    ControlTexts texts = ControlTexts::defaults(today());
    for (auto it = m_controls.cbegin(); it != m_controls.cend(); ++it)
        texts.set(it.key().toStdString(), readControl(it.value()));
    return texts;
}

OptionTexts ParamControls::optionsOf(const OperationDeclaration& op) const {
    OptionTexts options = OptionTexts::defaults(op, today());
    for (const ParamDeclaration& p : op.params)
        if (const QWidget* w = control(p.control)) options.set(p.option, readControl(w));
    return options;
}

void ParamControls::show(const OperationDeclaration& op, const std::vector<OptionText>& changed) const {
    for (const OptionText& option : changed)
        if (const ParamDeclaration* p = op.param(option.option)) assign(p->control, option.text);
}

Text ParamControls::readControl(const QWidget* control) {
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return toText(combo->currentText());
    if (auto* box = qobject_cast<const PlainTextBox*>(control)) return box->text();
    if (auto* line = qobject_cast<const QLineEdit*>(control)) return toText(line->text());
    if (auto* check = qobject_cast<const QCheckBox*>(control)) return check->isChecked() ? u"1" : u"0";
    if (auto* picker = qobject_cast<const QDateEdit*>(control)) {
        const QDate d = picker->date();
        return formatDate(Date{d.year(), d.month(), d.day()});
    }
    return {};
}

void ParamControls::writeControl(QWidget* control, const Text& value) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setEditText(toQString(value));
    } else if (auto* box = qobject_cast<PlainTextBox*>(control)) {
        box->assign(value);
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(toQString(value));
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        check->setChecked(value == u"1");
    } else if (auto* picker = qobject_cast<QDateEdit*>(control)) {
        if (const auto d = parseDate(value)) picker->setDate(QDate(d->year, d->month, d->day));
    }
}

void ParamControls::assign(std::string_view name, const Text& value) const {
    if (QWidget* w = control(name)) writeControl(w, value);
}

void ParamControls::restoreDefault(std::string_view name) const {
    assign(name, loadDefault(name));
}

Text loadDefault(std::string_view name) {
    static const ControlTexts defaults = ControlTexts::defaults(Date{2000, 1, 1});
    if (name.starts_with("DTPicker")) return formatDate(today());
    return defaults.has(name) ? defaults.text(name) : Text();
}

}  // namespace kivo::window
