// The program's message boxes: plain notices and the error message box, both
// titled "PasarelaHoraria" with an OK button. Tests (and the test hook of the
// entry) replace the boxes with a function that records them.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace pasarela::shell {

inline constexpr const char* kAppTitle = "PasarelaHoraria";

enum class BoxKind { Notice, Error };

using MessageBoxHook = std::function<void(BoxKind kind, const QString& text)>;
// Replaces the boxes; an empty hook brings them back.
void setMessageBoxHook(MessageBoxHook hook);

void showNotice(QWidget* parent, const QString& text);
// The error message box: stop icon; a "." is appended to the message when
// its last character comes after '.' in character-code order.
void showErrorBox(QWidget* parent, const std::string& message);

}  // namespace pasarela::shell
