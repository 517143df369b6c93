#pragma once

#include <QString>

#include <string>

// The settings library speaks UTF-8 std::string; the stores hand Qt strings to the pages.
inline std::string toUtf8String(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

inline QString fromUtf8String(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
