// Text between the core (bytes in the system's code page) and Qt (QString).
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace brevok {

/// Bytes in the system's code page (UTF-8 on Linux) as a QString, for showing them.
inline QString ToQt(std::string_view bytes)
{
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

/// What the user typed or chose, as bytes in the system's code page.
inline std::string FromQt(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace brevok
