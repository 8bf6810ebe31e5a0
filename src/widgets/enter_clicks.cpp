#include "widgets/enter_clicks.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace pasarela::widgets {

namespace {

class EnterClicks : public QObject {
 public:
  explicit EnterClicks(QAbstractButton* button) : QObject(button), button_(button) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == button_ && event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
          !(key->modifiers() & ~Qt::KeypadModifier) && button_->isEnabled()) {
        button_->click();
        return true;
      }
    }
    return false;
  }

 private:
  QAbstractButton* button_;
};

}  // namespace

void clickOnEnter(QAbstractButton* button) { button->installEventFilter(new EnterClicks(button)); }

}  // namespace pasarela::widgets
