#pragma once
// The "Select Port" form, asked when a port is opened without a device: it offers
// every listed port that exists, also one that another program holds.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

namespace Ui {
class TComSelectForm;
}

// Whether the device can be opened, or exists but is held by someone else.
bool IsPortAvailable(const std::string& deviceName);

class TComSelectForm : public QDialog {
  Q_OBJECT
 public:
  // Lists the available ports among those of the system's port list.
  explicit TComSelectForm(QWidget* parent = nullptr);
  // Lists the available ports among candidates.
  TComSelectForm(const QStringList& candidates, QWidget* parent = nullptr);
  ~TComSelectForm() override;

  // The chosen device; empty when the list is empty.
  std::string SelectedDevice() const;

 private:
  void FormCreate(const QStringList& candidates);
  std::unique_ptr<Ui::TComSelectForm> ui_;
};
