#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane {

// The logic below the windows works on 8-bit byte strings in the user's
// code page; a window converts at its edge, with these two and nothing
// else.
inline QString FromLocal(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FromLocal(const QByteArray& text) {
  return QString::fromLocal8Bit(text);
}

inline std::string ToLocal(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace quorvane
