// Text between Qt and the library, which holds UTF-8 in std::string.
#pragma once

#include <QString>

#include <string>

namespace grix {

inline QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string Utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace grix
