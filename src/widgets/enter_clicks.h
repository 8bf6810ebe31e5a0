// Enter or Return on a focused button presses it, as on Windows; Qt only
// does so for a dialog's default buttons.
#pragma once

class QAbstractButton;

namespace pasarela::widgets {

void clickOnEnter(QAbstractButton* button);

}  // namespace pasarela::widgets
