#pragma once
// A front-panel file that cannot be used. The text names the file, so the box the
// technician sees says which of the installed panel files is at fault.
#include <QString>
#include <stdexcept>

class EMimicError : public std::runtime_error {
 public:
  explicit EMimicError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& Text() const { return text_; }

 private:
  QString text_;
};
