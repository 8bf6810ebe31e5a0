// The program's message boxes: plain notices and the error message box, both
// titled "PasarelaHoraria" with an OK button.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace pasarela::shell {

inline constexpr const char* kAppTitle = "PasarelaHoraria";

void showNotice(QWidget* parent, const QString& text);
// The error message box: stop icon; a "." is appended to the message when
// its last character comes after '.' in character-code order.
void showErrorBox(QWidget* parent, const std::string& message);

}  // namespace pasarela::shell
