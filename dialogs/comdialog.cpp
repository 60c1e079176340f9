#include "dialogs/comdialog.h"

#include <QButtonGroup>
#include <QRadioButton>

#include "link/dmViewer.h"
#include "platform/prompter.h"
#include "serial/ComSet.h"
#include "ui_comdialog.h"

namespace {

constexpr int kDefaultBaud = 9600;
constexpr int kMaxAddress = 31;

QButtonGroup* MakeGroup(QDialog* owner, std::initializer_list<QRadioButton*> items) {
  auto* group = new QButtonGroup(owner);
  int id = 0;
  for (QRadioButton* item : items) group->addButton(item, id++);
  return group;
}

// The value of the checked item's text, or fallback when none is checked.
int CheckedValue(const QButtonGroup* group, int fallback) {
  const QAbstractButton* item = group->checkedButton();
  return item ? item->text().toInt() : fallback;
}

void CheckByText(QButtonGroup* group, int value) {
  for (QAbstractButton* item : group->buttons()) {
    if (item->text() == QString::number(value)) {
      item->setChecked(true);
      return;
    }
  }
}

}  // namespace

TFrmComDialog::TFrmComDialog(TComDialogModel model, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFrmComDialog>()), model_(model) {
  ui_->setupUi(this);
  connection_ = MakeGroup(this, {ui_->RBSerial, ui_->RBTcp});
  parity_ = MakeGroup(this, {ui_->RBParityNone, ui_->RBParityOdd, ui_->RBParityEven});
  dataBits_ = MakeGroup(this, {ui_->RBData7, ui_->RBData8});
  stopBits_ = MakeGroup(this, {ui_->RBStop1, ui_->RBStop2});

  std::vector<std::string> ports;
  try {
    EnumComPorts(ports);
  } catch (const EComPort&) {
    // Without a port list the user can still type a stored port back in via the settings.
  }
  for (const std::string& port : ports) ui_->CBSerialPort->addItem(QString::fromStdString(port));
  for (const std::string& baud : BaudRateTexts()) {
    if (baud != BaudRateText(brCustom)) ui_->CBBaud->addItem(QString::fromStdString(baud));
  }
  ui_->CBAddress->addItem(QStringLiteral("Any"));
  for (int address = 1; address <= kMaxAddress; ++address) ui_->CBAddress->addItem(QString::number(address));

  SetTcp(false);
  SetSerialPort(QStringLiteral("COM1"));
  SetBaudRate(kDefaultBaud);
  SetDataBits(8);
  SetStopBits(1);
  SetParity(0);
  SetAddress(kAnyAddress);
  SetHostName(QStringLiteral("192.168.0.100"));
  SetTcpPort(kDefaultTcpPort);

  connect(connection_, &QButtonGroup::idClicked, this, [this] { RGConnectionClick(); });
  connect(ui_->BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
  connect(ui_->BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  ShowConnectionGroups(IsTcp());
}

TFrmComDialog::~TFrmComDialog() = default;

void TFrmComDialog::LoadFromSettings(const TdatViewer& settings) {
  SetTcp(settings.GetConnectionType() != 0);
  SetSerialPort(settings.GetSerialPort());
  SetBaudRate(settings.GetBaudRate());
  SetDataBits(settings.GetDataBits());
  SetStopBits(settings.GetStopBits());
  SetParity(settings.GetParityBits());
  SetAddress(settings.GetSerialAddress());
  SetHostName(settings.GetTcpHostname());
  SetTcpPort(settings.GetTcpPort());
}

void TFrmComDialog::SaveToSettings(TdatViewer& settings) const {
  settings.SetConnectionType(IsTcp() ? 1 : 0);
  settings.SetSerialPort(GetSerialPort());
  settings.SetBaudRate(GetBaudRate());
  settings.SetDataBits(GetDataBits());
  settings.SetStopBits(GetStopBits());
  settings.SetParityBits(GetParity());
  settings.SetSerialAddress(GetAddress());
  settings.SetTcpHostname(GetHostName());
  settings.SetTcpPort(GetTcpPort());
}

bool TFrmComDialog::IsTcp() const { return connection_->checkedId() > 0; }

void TFrmComDialog::SetTcp(bool tcp) {
  connection_->button(tcp ? 1 : 0)->setChecked(true);
  ShowConnectionGroups(tcp);
}

QString TFrmComDialog::GetSerialPort() const { return ui_->CBSerialPort->currentText(); }

void TFrmComDialog::SetSerialPort(const QString& name) {
  if (name.isEmpty()) return;
  int index = ui_->CBSerialPort->findText(name);
  if (index < 0) {
    ui_->CBSerialPort->addItem(name);
    index = ui_->CBSerialPort->count() - 1;
  }
  ui_->CBSerialPort->setCurrentIndex(index);
}

int TFrmComDialog::GetBaudRate() const {
  bool ok = false;
  const int baud = ui_->CBBaud->currentText().toInt(&ok);
  return ok ? baud : kDefaultBaud;
}

void TFrmComDialog::SetBaudRate(int baud) {
  const int index = ui_->CBBaud->findText(QString::number(baud));
  if (index >= 0) ui_->CBBaud->setCurrentIndex(index);
}

int TFrmComDialog::GetDataBits() const { return CheckedValue(dataBits_, 8); }
void TFrmComDialog::SetDataBits(int bits) { CheckByText(dataBits_, bits); }
int TFrmComDialog::GetStopBits() const { return CheckedValue(stopBits_, 1); }
void TFrmComDialog::SetStopBits(int bits) { CheckByText(stopBits_, bits); }

int TFrmComDialog::GetParity() const {
  const int id = parity_->checkedId();
  return id == 1 || id == 2 ? id : 0;
}

void TFrmComDialog::SetParity(int parity) { parity_->button(parity == 1 || parity == 2 ? parity : 0)->setChecked(true); }

int TFrmComDialog::GetAddress() const {
  const int index = ui_->CBAddress->currentIndex();
  if (index <= 0) return kAnyAddress;
  if (model_ == TComDialogModel::W830 && IsTcp()) return kAnyAddress;
  return index;
}

void TFrmComDialog::SetAddress(int address) {
  ui_->CBAddress->setCurrentIndex(address >= 1 && address <= kMaxAddress ? address : 0);
}

QString TFrmComDialog::GetHostName() const { return ui_->EdtIndHostname->text(); }
void TFrmComDialog::SetHostName(const QString& host) { ui_->EdtIndHostname->setText(host); }

int TFrmComDialog::GetTcpPort() const {
  bool ok = false;
  const int port = ui_->EdtTcpPort->text().trimmed().toInt(&ok);
  return ok && port >= 1 && port <= 65535 ? port : 0;
}

void TFrmComDialog::SetTcpPort(int port) { ui_->EdtTcpPort->setText(QString::number(port)); }

bool TFrmComDialog::TcpPortValid() const { return GetTcpPort() != 0; }

void TFrmComDialog::ShowConnectionGroups(bool tcp) {
  ui_->GBSerial->setVisible(!tcp);
  ui_->GBTcp->setVisible(tcp);
  ui_->GBUnitAddress->setVisible(model_ == TComDialogModel::W840 || !tcp);
}

void TFrmComDialog::RGConnectionClick() { ShowConnectionGroups(IsTcp()); }

void TFrmComDialog::BtnOkClick() {
  if (IsTcp() && !TcpPortValid()) {
    Prompter().MessageDlg(QStringLiteral("'%1' is not a valid TCP port (1 to 65535)").arg(ui_->EdtTcpPort->text()),
                          TMsgDlgType::mtError, mbOK);
    ui_->EdtTcpPort->setFocus();
    return;
  }
  accept();
}
