// The window's menu actions, made one way wherever a component owns them.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QString>

namespace grix {

// An action named `name` (so that tests and the settings find it) whose
// tooltip says its text and, where it has one, its shortcut: "Start (Ctrl+B)".
inline QAction* MakeAction(QObject* parent, const char* name, const QString& text,
                           const QKeySequence& keys = {}) {
    auto* action = new QAction(text, parent);
    action->setObjectName(QLatin1String(name));
    if (!keys.isEmpty())
        action->setShortcut(keys);
    const QString plain = QString(text).remove(QLatin1Char('&')).remove(QStringLiteral("..."));
    action->setToolTip(keys.isEmpty() ? plain
                                      : plain + QStringLiteral(" (") +
                                            keys.toString(QKeySequence::NativeText) +
                                            QLatin1Char(')'));
    return action;
}

}  // namespace grix
