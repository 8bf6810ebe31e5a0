// An HTML Help engine that records the calls that reach it.
#pragma once

#include <ostream>
#include <vector>

#include "shell/help/html_help_engine.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace pasarela::help::testing {

struct HtmlHelpCall {
  WindowHandle owner;
  QString file;
  unsigned command;
  HtmlHelpData data;
};

class FakeHtmlHelpEngine final : public HtmlHelpEngine {
 public:
  explicit FakeHtmlHelpEngine(bool available = true) : available_(available) {}
  bool available() const override { return available_; }
  void htmlHelp(WindowHandle owner, const QString& file, unsigned command,
                const HtmlHelpData& data) override {
    calls.push_back({owner, file, command, data});
  }
  std::vector<HtmlHelpCall> calls;

 private:
  bool available_;
};

inline quintptr number(const HtmlHelpData& data) {
  const auto* n = std::get_if<quintptr>(&data);
  return n ? *n : ~quintptr{0};
}

inline QString keyword(const HtmlHelpData& data) {
  const auto* k = std::get_if<QString>(&data);
  return k ? *k : QStringLiteral("<not a keyword>");
}

}  // namespace pasarela::help::testing
