#include "discovery/NetDevices.h"

#include <QHeaderView>
#include <QRandomGenerator>
#include <QUrl>
#include <algorithm>
#include <array>
#include <vector>

#include "discovery/NetAddress.h"
#include "discovery/VelUDP.h"
#include "discovery/VelmacorDevice.h"
#include "platform/guard.h"
#include "platform/netinterfaces.h"
#include "platform/prompter.h"
#include "platform/shellopen.h"
#include "ui_NetDevices.h"

namespace {

constexpr char kProbe[] = "BlahBlah";
constexpr char kDefaultAddress[] = "192.168.1.255";
constexpr char kSeparator[] = " / ";
constexpr int kIPColumn = 0;
constexpr int kTCPPortColumn = 7;
constexpr int kFirstLocalPort = 1024;
constexpr int kLocalPorts = 64511;  // 1024..65534

// The interface list; false, after the error box, when it cannot be had.
bool QueryInterfaces(std::vector<TNetInterface>& interfaces) {
  const int error = NetInterfaces().Query(interfaces);
  if (error == 0) return true;
  interfaces.clear();
  Prompter().MessageDlg(QStringLiteral("Failed calling getifaddrs: Error %1.").arg(error), TMsgDlgType::mtError, mbOK);
  return false;
}

}  // namespace

TfrmNetworkDevices::TfrmNetworkDevices(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfrmNetworkDevices>()) {
  ui_->setupUi(this);
  FormCreate();
}

TfrmNetworkDevices::~TfrmNetworkDevices() = default;

void TfrmNetworkDevices::FormCreate() {
  UDP = std::make_unique<TVelUDP>();
  UDP->OnInvalidHost = [this](bool& handled) { UDPSockInvalidHost(handled); };
  UDP->OnDataReceived = [this](TVelUDP*, int numberBytes, const QString& fromIP, int) {
    UDPSockDataReceived(numberBytes, fromIP);
  };
  UDP->SetLocalHost(QStringLiteral("0.0.0.0"));
  UDP->SetLocalPort(kFirstLocalPort + static_cast<int>(QRandomGenerator::global()->bounded(kLocalPorts)));

  ui_->CBInterfaces->setEditText(QString::fromLatin1(kDefaultAddress));
  AllowConnect = true;
  EnableDeviceButtons(false);
  ui_->StringGridNetDevices->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  FormResize();
  FillInterfaceList();

  auto guarded = [this](void (TfrmNetworkDevices::*handler)()) {
    return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
  };
  connect(ui_->BtnFind, &QPushButton::clicked, this, guarded(&TfrmNetworkDevices::BtnFindClick));
  connect(ui_->BtnWeb, &QPushButton::clicked, this, guarded(&TfrmNetworkDevices::BtnWebClick));
  connect(ui_->BtnClose, &QPushButton::clicked, this, guarded(&TfrmNetworkDevices::BtnCloseClick));
  connect(ui_->BtnConnect, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(ui_->StringGridNetDevices, &QTableWidget::currentCellChanged, this,
          [this](int row) { StringGridNetDevicesSelectCell(row); });
}

void TfrmNetworkDevices::FillInterfaceList() {
  std::vector<TNetInterface> interfaces;
  if (!QueryInterfaces(interfaces)) return;  // the list stays as it was
  const QString text = ui_->CBInterfaces->currentText();
  ui_->CBInterfaces->clear();
  ui_->CBInterfaces->addItems(InterfaceItems(interfaces));
  ui_->CBInterfaces->setEditText(text);
}

QString TfrmNetworkDevices::InterfaceAddressFor(const QString& typed) {
  // Without the list the probe goes out from any address, so finding by a typed address still works.
  std::vector<TNetInterface> interfaces;
  QueryInterfaces(interfaces);
  return ::InterfaceAddressFor(interfaces, typed);
}

// A saved item may name an interface address the computer no longer has (the
// office network changed): the probe then goes out from the interface now on the
// target's subnet, or from every interface, and the technician is told.
QString TfrmNetworkDevices::InterfaceStillHere(const QString& local, const QString& target) {
  if (local == QLatin1String("0.0.0.0")) return local;
  std::vector<TNetInterface> interfaces;
  if (NetInterfaces().Query(interfaces) != 0 || HasInterfaceAddress(interfaces, local)) return local;
  const QString now = ::InterfaceAddressFor(interfaces, target);
  const QString from = now == QLatin1String("0.0.0.0") ? QStringLiteral("every interface") : now;
  Prompter().MessageDlg(
      QStringLiteral("The interface %1 is not on this computer any more: searching from %2 instead.").arg(local, from),
      TMsgDlgType::mtWarning, mbOK);
  ui_->CBInterfaces->setEditText(now + QLatin1String(kSeparator) + target);
  return now;
}

void TfrmNetworkDevices::SetAllowConnect(bool allow) {
  AllowConnect = allow;
  if (!allow) EnableDeviceButtons(false);
}

void TfrmNetworkDevices::SetFinderAddress(const QString& address) { ui_->CBInterfaces->setEditText(address); }

QString TfrmNetworkDevices::GetFinderAddress() const { return ui_->CBInterfaces->currentText(); }

QString TfrmNetworkDevices::GetSelectedIPAddress() const { return SelectedColumn(kIPColumn); }

QString TfrmNetworkDevices::GetSelectedTCPPort() const { return SelectedColumn(kTCPPortColumn); }

QString TfrmNetworkDevices::SelectedColumn(int column) const {
  if (!ui_->BtnConnect->isEnabled()) return {};
  const QTableWidgetItem* item = ui_->StringGridNetDevices->item(ui_->StringGridNetDevices->currentRow(), column);
  return item ? item->text() : QString();
}

void TfrmNetworkDevices::BtnFindClick() {
  const QString text = ui_->CBInterfaces->currentText();
  QString local;
  QString target;
  if (const qsizetype separator = text.indexOf(QLatin1String(kSeparator)); separator >= 0) {
    local = text.left(separator);
    target = text.mid(separator + qsizetype(sizeof kSeparator) - 1);
  } else {
    target = text;
    local = InterfaceAddressFor(text);
  }
  local = InterfaceStillHere(local, target);
  // The rows go, and with them the choice: Connect waits for a row to be picked again.
  ui_->StringGridNetDevices->setRowCount(0);
  EnableDeviceButtons(false);
  UDP->SetLocalHost(local);
  UDP->SetRemoteHost(target);
  UDP->SetRemotePort(kDiscoveryPort);
  UDP->SendBuffer(QByteArray(kProbe));
}

void TfrmNetworkDevices::BtnWebClick() {
  const QString address = GetSelectedIPAddress();
  if (!address.isEmpty()) ShellOpen(QUrl(QStringLiteral("http://") + address + QLatin1Char('/')));
}

void TfrmNetworkDevices::BtnCloseClick() { done(mrCancel); }

void TfrmNetworkDevices::StringGridNetDevicesSelectCell(int row) { EnableDeviceButtons(AllowConnect && row >= 0); }

void TfrmNetworkDevices::EnableDeviceButtons(bool on) {
  ui_->BtnConnect->setEnabled(on);
  ui_->BtnWeb->setEnabled(on);
}

void TfrmNetworkDevices::UDPSockInvalidHost(bool& handled) {
  Prompter().MessageDlg(QStringLiteral("Invalid Hostname/IP Address: ") + ui_->CBInterfaces->currentText(),
                        TMsgDlgType::mtError, mbOK);
  handled = true;
}

void TfrmNetworkDevices::UDPSockDataReceived(int numberBytes, const QString& fromIP) {
  if (numberBytes < 0) return;  // a failed receive names no device
  std::array<char, kReplyBufferSize> buffer{};
  int length = kReplyBufferSize;
  UDP->ReadBuffer(buffer.data(), length);
  TVelmacorDevice device;
  device.Parse(QByteArray(buffer.data(), length), fromIP);
  AppendDevice(device);
}

void TfrmNetworkDevices::AppendDevice(const TVelmacorDevice& device) {
  QTableWidget& grid = *ui_->StringGridNetDevices;
  const int row = grid.rowCount();
  grid.insertRow(row);
  const QStringList columns = device.Columns();
  for (int c = 0; c < columns.size(); ++c) grid.setItem(row, c, new QTableWidgetItem(columns[c]));
  FitColumnsToRow(row);
}

void TfrmNetworkDevices::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TfrmNetworkDevices::FormResize() {
  QTableWidget& grid = *ui_->StringGridNetDevices;
  const int share = grid.viewport()->width() / std::max(grid.columnCount(), 1);
  for (int c = 0; c < grid.columnCount(); ++c) grid.setColumnWidth(c, share);
  FitColumnsToTexts();
}

// Only widens, so a column the technician widened stays as wide while rows come in.
// A new row is measured alone: measuring every row for each of a thousand replies
// would keep the window busy for many seconds.
void TfrmNetworkDevices::FitColumnsToRow(int row) {
  QTableWidget& grid = *ui_->StringGridNetDevices;
  const int gridLine = grid.showGrid() ? 1 : 0;
  for (int c = 0; c < grid.columnCount(); ++c) {
    const int text = grid.sizeHintForIndex(grid.model()->index(row, c)).width() + gridLine;
    const int needed = std::max(text, grid.horizontalHeader()->sectionSizeHint(c));
    if (grid.columnWidth(c) < needed) grid.setColumnWidth(c, needed);
  }
}

void TfrmNetworkDevices::FitColumnsToTexts() {
  QTableWidget& grid = *ui_->StringGridNetDevices;
  for (int c = 0; c < grid.columnCount(); ++c) {
    const int before = grid.columnWidth(c);
    grid.resizeColumnToContents(c);  // what the title and the texts need
    if (grid.columnWidth(c) < before) grid.setColumnWidth(c, before);
  }
}
