#include "dialogs/comdialog.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <stdexcept>

#include "dialogs/custombaud.h"
#include "platform/prompter.h"
#include "serial/ComSet.h"
#include "ui_comdialog.h"

namespace {

constexpr int kDefaultBaud = 9600;
constexpr int kMaxAddress = 31;

QList<QRadioButton*> Items(const QGroupBox* group) {
  return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

int CheckedIndex(const QGroupBox* group) {
  const auto items = Items(group);
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->isChecked()) return i;
  return -1;
}

void CheckIndex(QGroupBox* group, int index) {
  const auto items = Items(group);
  if (index >= 0 && index < items.size()) items[index]->setChecked(true);
}

// The checked item's number, or the fallback when the text does not hold one.
int CheckedNumber(const QGroupBox* group, int fallback) {
  const int index = CheckedIndex(group);
  if (index < 0) return fallback;
  bool ok = false;
  const int value = Items(group)[index]->text().toInt(&ok);
  return ok ? value : fallback;
}

void CheckNumber(QGroupBox* group, int value, int fallback) {
  const auto items = Items(group);
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->text() == QString::number(value)) return CheckIndex(group, i);
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->text() == QString::number(fallback)) return CheckIndex(group, i);
}

QString DevicePath(const QString& name) {
  static const QRegularExpression comName(QStringLiteral("^COM(\\d+)$"), QRegularExpression::CaseInsensitiveOption);
  const auto match = comName.match(name);
  if (!match.hasMatch()) return name;
  const int number = match.captured(1).toInt();
  return QStringLiteral("/dev/ttyS%1").arg(number > 0 ? number - 1 : 0);
}

}  // namespace

TFrmComDialog::TFrmComDialog(TViewerModel model, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFrmComDialog>()), model_(model) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  // The TCP group alone leaves the field only as wide as its caption allows: it
  // keeps room for any dotted address and a short host name beside it.
  QLineEdit& host = *ui_->EdtIndHostname;
  const int frame = host.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &host);
  host.setMinimumWidth(host.fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) * 3 / 2 + 2 * frame + 4);
  ui_->CBBaud->SetComProperty(cpBaudRate);
  ui_->CBAddress->addItem(QStringLiteral("Any"));
  for (int address = 1; address <= kMaxAddress; ++address) ui_->CBAddress->addItem(QString::number(address));

  FillSerialPorts();
  WatchSerialPorts();
  connect(ui_->CBSerialPort, &QComboBox::editTextChanged, this, [this] { ShowPortPresence(); });
  connect(ui_->CBBaud, &QComboBox::activated, this, [this](int index) { CBBaudActivated(index); });

  SetTcp(false);
  SetSerialPort(QStringLiteral("COM1"));
  SetBaudRate(kDefaultBaud);
  SetDataBits(8);
  SetStopBits(1);
  SetParity(0);
  SetAddress(kAnyAddress);
  SetHostName(QStringLiteral("192.168.1.100"));
  SetTcpPort(2222);

  for (auto* item : Items(ui_->RGConnection)) connect(item, &QRadioButton::clicked, this, [this] { RGConnectionClick(); });
  connect(ui_->BtnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  ui_->EdtTcpPort->installEventFilter(this);
  ShowConnectionGroups(IsTcp());
}

TFrmComDialog::~TFrmComDialog() = default;

bool TFrmComDialog::IsTcp() const { return CheckedIndex(ui_->RGConnection) > 0; }

void TFrmComDialog::SetTcp(bool tcp) {
  CheckIndex(ui_->RGConnection, tcp ? 1 : 0);
  ShowConnectionGroups(tcp);
}

QString TFrmComDialog::GetSerialPort() const { return ui_->CBSerialPort->currentText().trimmed(); }

void TFrmComDialog::SetSerialPort(const QString& name) {
  const QString path = DevicePath(name.trimmed());
  if (path.isEmpty()) return;
  const int index = ui_->CBSerialPort->findText(path);
  if (index >= 0)
    ui_->CBSerialPort->setCurrentIndex(index);
  else
    ui_->CBSerialPort->setEditText(path);
  ShowPortPresence();
}

void TFrmComDialog::FillSerialPorts() {
  std::vector<std::string> ports;
  try {
    EnumComPorts(ports);
  } catch (const EComPort&) {
    // Without a port list the user can still connect over TCP or to a typed port.
  }
  QComboBox& box = *ui_->CBSerialPort;
  const QString shown = box.currentText();
  const int cursor = box.lineEdit()->cursorPosition();
  {
    const QSignalBlocker blocker(box);
    box.clear();
    for (const auto& port : ports) box.addItem(QString::fromLocal8Bit(port.c_str()));
    const int index = box.findText(shown);
    box.setCurrentIndex(index);
    box.setEditText(shown);
  }
  box.lineEdit()->setCursorPosition(cursor);
  ShowPortPresence();
}

// Adapters come and go with their device nodes (the by-id names with them), so
// the list follows the device folders.
void TFrmComDialog::WatchSerialPorts() {
  const TSerialPortPlaces& places = SerialPortPlaces();
  portWatcher_ = new QFileSystemWatcher(this);
  const QString byId = QString::fromLocal8Bit(places.byId.c_str());
  QStringList folders{QString::fromLocal8Bit(places.dev.c_str()), byId, QFileInfo(byId).path()};
  folders.removeIf([](const QString& folder) { return !QFileInfo(folder).isDir(); });
  folders.removeDuplicates();
  if (!folders.isEmpty()) portWatcher_->addPaths(folders);
  connect(portWatcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
    // by-id appears with the first adapter plugged in.
    const QString byIdNow = QString::fromLocal8Bit(SerialPortPlaces().byId.c_str());
    if (QFileInfo(byIdNow).isDir() && !portWatcher_->directories().contains(byIdNow)) portWatcher_->addPath(byIdNow);
    FillSerialPorts();
  });
}

void TFrmComDialog::ShowPortPresence() {
  const QString port = GetSerialPort();
  ui_->lblPortMissing->setVisible(!port.isEmpty() && !IsPortPresent(port.toLocal8Bit().toStdString()));
}

int TFrmComDialog::GetBaudRate() const {
  if (ui_->CBBaud->currentIndex() == brCustom && customBaud_ > 0) return customBaud_;
  bool ok = false;
  const int baud = ui_->CBBaud->Text().toInt(&ok);
  return ok ? baud : kDefaultBaud;
}

void TFrmComDialog::SetBaudRate(int baud) {
  const int index = ui_->CBBaud->findText(QString::number(baud));
  if (index >= 0) {
    ui_->CBBaud->setCurrentIndex(index);
  } else if (baud > 0) {
    customBaud_ = baud;
    ui_->CBBaud->setCurrentIndex(brCustom);
  } else {
    ui_->CBBaud->setCurrentIndex(ui_->CBBaud->findText(QString::number(kDefaultBaud)));
  }
  baudIndex_ = ui_->CBBaud->currentIndex();
  ShowCustomBaud();
}

void TFrmComDialog::CBBaudActivated(int index) {
  if (index == brCustom) {
    TFrmCustomBaud ask(customBaud_ > 0 ? customBaud_ : ui_->CBBaud->itemText(baudIndex_).toInt(), this);
    if (Prompter().ExecDialog(ask) == mrOk) {
      customBaud_ = ask.Rate();
    } else {
      ui_->CBBaud->setCurrentIndex(baudIndex_);
    }
  }
  baudIndex_ = ui_->CBBaud->currentIndex();
  ShowCustomBaud();
}

void TFrmComDialog::ShowCustomBaud() {
  const bool custom = ui_->CBBaud->currentIndex() == brCustom && customBaud_ > 0;
  ui_->lblCustomBaudRate->setText(custom ? QStringLiteral("%1 baud").arg(customBaud_) : QString());
  ui_->lblCustomBaudRate->setVisible(custom);
}

int TFrmComDialog::GetDataBits() const { return CheckedNumber(ui_->RGData, 8); }
void TFrmComDialog::SetDataBits(int bits) { CheckNumber(ui_->RGData, bits, 8); }
int TFrmComDialog::GetStopBits() const { return CheckedNumber(ui_->RGStop, 1); }
void TFrmComDialog::SetStopBits(int bits) { CheckNumber(ui_->RGStop, bits, 1); }

int TFrmComDialog::GetParity() const {
  const int index = CheckedIndex(ui_->RGParity);
  return index == 1 || index == 2 ? index : 0;
}

void TFrmComDialog::SetParity(int parity) { CheckIndex(ui_->RGParity, parity == 1 || parity == 2 ? parity : 0); }

int TFrmComDialog::GetAddress() const {
  if (model_ == TViewerModel::W830 && IsTcp()) return kAnyAddress;
  const int index = ui_->CBAddress->currentIndex();
  return index >= 1 && index <= kMaxAddress ? index : kAnyAddress;
}

void TFrmComDialog::SetAddress(int address) {
  ui_->CBAddress->setCurrentIndex(address >= 1 && address <= kMaxAddress ? address : 0);
}

QString TFrmComDialog::GetHostName() const { return ui_->EdtIndHostname->text(); }
void TFrmComDialog::SetHostName(const QString& host) { ui_->EdtIndHostname->setText(host); }

int TFrmComDialog::GetTcpPort() const {
  const QString text = ui_->EdtTcpPort->text().trimmed();
  bool ok = false;
  const int port = text.toInt(&ok);
  if (!ok) throw std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
  if (port < 1 || port > 65535)
    throw std::runtime_error(QStringLiteral("TCP port %1 is out of range (1 to 65535)").arg(port).toStdString());
  return port;
}

std::optional<int> TFrmComDialog::TcpPortIfValid() const {
  try {
    return GetTcpPort();
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
}

void TFrmComDialog::SetTcpPort(int port) { ui_->EdtTcpPort->setText(QString::number(port)); }

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
  // The TCP port counts only when TCP is chosen; for a serial link a bad port
  // text, in a field the user cannot see, stays in the store as it was.
  const std::optional<int> tcpPort = IsTcp() ? GetTcpPort() : TcpPortIfValid();
  settings.SetConnectionType(IsTcp() ? 1 : 0);
  settings.SetSerialPort(GetSerialPort());
  settings.SetBaudRate(GetBaudRate());
  settings.SetDataBits(GetDataBits());
  settings.SetStopBits(GetStopBits());
  settings.SetParityBits(GetParity());
  settings.SetSerialAddress(GetAddress());
  settings.SetTcpHostname(GetHostName());
  if (tcpPort) settings.SetTcpPort(*tcpPort);
}

TLinkSettings TFrmComDialog::LinkSettings() const {
  TLinkSettings link;
  link.tcp = IsTcp();
  link.host = GetHostName();
  link.tcpPort = IsTcp() ? GetTcpPort() : TcpPortIfValid().value_or(0);
  link.serialPort = GetSerialPort();
  link.baudRate = GetBaudRate();
  link.dataBits = GetDataBits();
  link.stopBits = GetStopBits();
  link.parity = GetParity();
  return link;
}

void TFrmComDialog::done(int result) {
  if (result == QDialog::Accepted && IsTcp() && !CheckTcpPort()) return;
  QDialog::done(result);
}

bool TFrmComDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->EdtTcpPort && event->type() == QEvent::FocusOut) {
    // Only a move within this dialog counts: the error box taking focus, or a
    // click on Cancel, must not raise the check again.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    const bool inDialog = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    if (inDialog && focusWidget() != ui_->BtnCancel && !CheckTcpPort()) ui_->EdtTcpPort->setFocus();
  }
  return QDialog::eventFilter(watched, event);
}

bool TFrmComDialog::CheckTcpPort() {
  try {
    GetTcpPort();
    return true;
  } catch (const std::runtime_error& error) {
    Prompter().MessageDlg(QString::fromStdString(error.what()), TMsgDlgType::mtError, mbOK);
    return false;
  }
}

void TFrmComDialog::RGConnectionClick() { ShowConnectionGroups(IsTcp()); }

void TFrmComDialog::ShowConnectionGroups(bool tcp) {
  ui_->GBSerial->setVisible(!tcp);
  ui_->GBTcp->setVisible(tcp);
  ui_->GBUnitAddress->setVisible(model_ == TViewerModel::W840 || !tcp);
}

std::unique_ptr<TIOIface> ConfigureIOInterface(TdatViewer& store, int& address, TViewerModel model,
                                               const TTcpChoice* choice) {
  TFrmComDialog dialog(model);
  dialog.LoadFromSettings(store);
  if (choice) {
    dialog.SetTcp(true);
    dialog.SetHostName(choice->host);
    if (choice->port > 0) dialog.SetTcpPort(choice->port);
  }
  if (Prompter().ExecDialog(dialog) != mrOk) return nullptr;
  TLinkSettings settings = dialog.LinkSettings();
  settings.model = model;
  dialog.SaveToSettings(store);
  address = dialog.GetAddress();
  return CreateIOInterface(settings);
}
