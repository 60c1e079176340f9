#include "serial/ComSelectForm.h"

#include "serial/ComSet.h"
#include "serial/SerErrorCodes.h"
#include "serial/TermiosDevice.h"
#include "ui_ComSelectForm.h"

namespace {

QStringList SystemPorts() {
  std::vector<std::string> ports;
  try {
    EnumComPorts(ports);
  } catch (const EComPort&) {
    // No port list: the form offers nothing to choose.
  }
  QStringList out;
  for (const std::string& p : ports) out << QString::fromStdString(p);
  return out;
}

}  // namespace

bool IsPortAvailable(const std::string& deviceName) {
  if (deviceName.empty()) return false;
  TTermiosDevice device;
  const int result = device.Open(deviceName);
  if (result == SerErr::Ok) {
    device.Close();
    return true;
  }
  return result == SerErr::AlreadyOpen || result == SerErr::AccessDenied;
}

TComSelectForm::TComSelectForm(QWidget* parent) : TComSelectForm(SystemPorts(), parent) {}

TComSelectForm::TComSelectForm(const QStringList& candidates, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TComSelectForm>()) {
  ui_->setupUi(this);
  connect(ui_->OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->AbortBtn, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate(candidates);
}

TComSelectForm::~TComSelectForm() = default;

void TComSelectForm::FormCreate(const QStringList& candidates) {
  for (const QString& port : candidates)
    if (IsPortAvailable(port.toLocal8Bit().toStdString())) ui_->PortsComboBox->addItem(port);
  if (ui_->PortsComboBox->count() > 0) ui_->PortsComboBox->setCurrentIndex(0);
}

std::string TComSelectForm::SelectedDevice() const {
  if (ui_->PortsComboBox->currentIndex() < 0) return std::string();
  return ui_->PortsComboBox->currentText().toLocal8Bit().toStdString();
}
