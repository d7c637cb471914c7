#include "app/field_checks.h"

#include <QFile>
#include <QFileInfo>

#include "app/utf8_text.h"
#include "builder/splash_picture.h"
#include "core/platform.h"

namespace grix {
namespace {

QString Quoted(QChar c) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return QStringLiteral("a control character");
    return QStringLiteral("\u201C") + c + QStringLiteral("\u201D");
}

}  // namespace

QString CrosswordNameProblem(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("The crossword needs a name");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\u201C") + name + QStringLiteral("\u201D cannot name a file");
    for (const QChar c : name) {
        // Phones split the suite's MIDlet-1 attribute at its commas.
        if (c == QLatin1Char(','))
            return QStringLiteral("A comma cannot be in the name: phones split the name there");
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("/\\:*?\"<>|").contains(c))
            return Quoted(c) + QStringLiteral(" cannot be in a file name");
    }
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return QStringLiteral("The name cannot end in a dot or a blank");
    if (platform::IsReservedFileName(Utf8(name)))
        return QStringLiteral("\u201C") + name + QStringLiteral("\u201D is reserved on Windows");
    const qsizetype bytes = name.toUtf8().size();
    if (bytes > kLongCrosswordNameBytes) {
        return QStringLiteral("Too long: %1 bytes, some phones refuse names over %2")
            .arg(bytes)
            .arg(kLongCrosswordNameBytes);
    }
    return {};
}

QString SplashProblem(bool wanted, const QString& path) {
    if (path.isEmpty()) {
        return wanted ? QStringLiteral("No splash picture chosen: pick a PNG file or clear the box")
                      : QString();
    }
    // The build's own check, so the field says what the build would log.
    QString problem = QString::fromStdString(grix::SplashProblem(path.toStdString()));
    if (!problem.isEmpty())
        problem[0] = problem[0].toUpper();
    return problem;
}

}  // namespace grix
