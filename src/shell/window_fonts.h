// The windows' fonts by pixel height. Off Windows, "Arial" and "MS Sans
// Serif" come from their metric twin (Liberation Sans) when it is installed,
// so texts fit the bounds they were laid out for.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace pasarela::shell {

QFont windowFont(const QString& family, int pixels, bool bold = false);
inline QFont arialFont(int pixels, bool bold = false) {
  return windowFont(QStringLiteral("Arial"), pixels, bold);
}
inline QFont sansSerifFont(int pixels, bool bold = false) {
  return windowFont(QStringLiteral("MS Sans Serif"), pixels, bold);
}

}  // namespace pasarela::shell
