#include "app/control_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "builder/project_settings.h"

namespace grix {
namespace {

std::string Utf8(const QString& text) {
    return text.toStdString();
}
QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void LoadControls(const IniFile& ini, const std::vector<QWidget*>& controls) {
    for (QWidget* control : controls) {
        const std::string name = Utf8(control->objectName());
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(FromUtf8(ini.ReadString(kEditSection, name, Utf8(edit->text()))));
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setChecked(ini.ReadBool(kCheckBoxSection, name, check->isChecked()));
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            // An index the list does not have selects nothing.
            combo->setCurrentIndex(ini.ReadInteger(kComboBoxSection, name, combo->currentIndex()));
        }
    }
}

void SaveControls(IniFile& ini, const std::vector<QWidget*>& controls) {
    for (QWidget* control : controls) {
        const std::string name = Utf8(control->objectName());
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            ini.WriteString(kEditSection, name, Utf8(edit->text()));
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            ini.WriteBool(kCheckBoxSection, name, check->isChecked());
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            ini.WriteInteger(kComboBoxSection, name, combo->currentIndex());
        }
    }
}

void LoadFont(const IniFile& ini, QWidget& widget) {
    QFont font = widget.font();
    const int size = ini.ReadInteger(kFontSection, "Font.Size", font.pointSize());
    if (size > 0)
        font.setPointSize(size);  // a font has no size of 0 or less
    font.setFamily(FromUtf8(ini.ReadString(kFontSection, "Font.Name", Utf8(font.family()))));
    font.setBold(ini.ReadBool(kFontSection, "Font.Bold", false));
    font.setItalic(ini.ReadBool(kFontSection, "Font.Italic", false));
    widget.setFont(font);
}

void SaveFont(IniFile& ini, const QWidget& widget) {
    const QFont& font = widget.font();
    ini.WriteInteger(kFontSection, "Font.Size", font.pointSize());
    ini.WriteString(kFontSection, "Font.Name", Utf8(font.family()));
    ini.WriteBool(kFontSection, "Font.Bold", font.bold());
    ini.WriteBool(kFontSection, "Font.Italic", font.italic());
}

}  // namespace grix
