#include "mainwindow/settingspages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QTextBlock>
#include <array>
#include <cmath>
#include <limits>
#include <map>

#include "mainwindow/decimalpointlist.h"
#include "mainwindow/settingspages_bindings.h"
#include "mainwindow/setpointtabbar.h"
#include "platform/prompter.h"
#include "protocol/database.h"
#include "protocol/tools.h"
#include "ui_settingspages.h"

namespace {

// Limits of the checked edits by their Tag, in stored units.
struct TLimit {
  int min, max, decimals;
};
constexpr TLimit kEditLimits[23] = {
    {0, 0, 0},       {15, 60, 0},     {100, 999999, 0}, {100, 999999, 0}, {0, 999999, 0}, {0, 10, 0},
    {0, 20, 0},      {0, 200, 0},     {1, 200, 0},      {0, 100, 0},      {1, 200, 0},    {1, 99, 0},
    {10, 999999, 0}, {10, 999999, 0}, {0, 999999, 0},   {0, 999999, 0},   {-99999, 999999, 0},
    {1, 999999, 3},  {100, 60000, 0}, {100, 60000, 0},  {1, 20, 0},       {0, 20, 0},     {0, 60000, 0},
};

enum class TCheck { kNone, kDecimalPoint, kTableDecimals, kAddTare, kFilterOnly, kHostName };

const std::map<QString, TCheck>& CheckKinds() {
  static const std::map<QString, TCheck> kinds = {
      {"EdtFS1", TCheck::kDecimalPoint},         {"EdtFs2", TCheck::kDecimalPoint},
      {"EdtZband", TCheck::kDecimalPoint},       {"EdtInflight", TCheck::kDecimalPoint},
      {"EdtHysteresis", TCheck::kDecimalPoint},  {"EdtTarget", TCheck::kDecimalPoint},
      {"EdtCalWeight", TCheck::kDecimalPoint},   {"edtAddTare", TCheck::kAddTare},
      {"EdtConversionFactor", TCheck::kTableDecimals}, {"EdtSetpJogOn", TCheck::kTableDecimals},
      {"EdtSetpJogOff", TCheck::kTableDecimals}, {"EdtSetpOptJogSet", TCheck::kTableDecimals},
      {"EdtSetpOptMaxJogSets", TCheck::kTableDecimals}, {"EdtSetpOptDelayCheck", TCheck::kTableDecimals},
      {"EDtRows", TCheck::kFilterOnly},          {"EdtCols", TCheck::kFilterOnly},
      {"edtEthHostname", TCheck::kHostName},     {"edtEthSearchDomain", TCheck::kHostName},
  };
  return kinds;
}

// A change of the decimal point or character redraws the scaled fields and the
// setpoint options; every other field keeps what it shows, typed or not.
bool RedrawnOnScaleChange(const TEditBinding& b) {
  return b.kind == TEditBinding::kScaled || QByteArrayView(b.name).startsWith("EdtSetp");
}

TCheck CheckOf(const QObject* o) {
  const auto it = CheckKinds().find(o->objectName());
  return it == CheckKinds().end() ? TCheck::kNone : it->second;
}

std::string Latin1(const QString& s) { return s.toLatin1().toStdString(); }
QString FromLatin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

void SetIndex(QComboBox* box, int index) {
  const QSignalBlocker block(box);
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void SetText(QLineEdit* edit, const QString& text) {
  const QSignalBlocker block(edit);
  edit->setText(text);
}

constexpr int kSerialTabPorts[6] = {0, 1, 2, 3, 6, 7};
const QStringList kUsePort0 = {"Off", "Auto.lo", "Auto.hi", "Print", "Single", "Net", "MB Legacy"};
const QStringList kUsePort1 = {"Off", "Auto.lo", "Auto.hi", "Print", "Single"};
const QStringList kUseSlave = {"Off", "Auto.lo", "Auto.hi", "Print", "Single", "Net"};
const QStringList kUseHst = {"Off", "Auto.lo", "Auto.hi", "Print", "Single", "Net", "MB Legacy", "MB Ascii", "MB RTU"};

const QString kHeaderLimit = QStringLiteral("Maximum size = 6 lines x 30 characters");

}  // namespace

struct TSettingsPages::TBindings {
  std::vector<std::pair<QComboBox*, const TComboBinding*>> combos, clock;
  std::vector<std::pair<QCheckBox*, const TComboBinding*>> checks;
  std::vector<std::pair<QLineEdit*, const TEditBinding*>> edits;
  std::vector<std::pair<QLineEdit*, const TTextBinding*>> texts;
  std::vector<std::pair<std::array<QLineEdit*, 4>, const TAddressBinding*>> addresses;
  std::vector<QComboBox*> serialBoxes;
};

TSettingsPages::TSettingsPages(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TSettingsPages>()), bindings_(std::make_unique<TBindings>()) {
  ui_->setupUi(this);
  for (const char* t : {"Serial Module 1A", "Serial Module 1B", "Serial Module 2A", "Serial Module 2B",
                        "Serial Slave", "Serial HST"})
    ui_->tcSerial->addTab(t);
  for (int i = 1; i <= 8; ++i) ui_->CtrlSetpoint->addTab(QStringLiteral("%1").arg(i, 2));
  for (int i = 1; i <= 6; ++i) findChild<QLineEdit*>(QStringLiteral("edtEthMAC%1").arg(i))->setEnabled(false);
  Bind();
  FillDecimalPointList(*ui_->CBxDP, decimalChar_);
}

TSettingsPages::~TSettingsPages() = default;

void TSettingsPages::Bind() {
  auto combo = [this](const char* n) { return findChild<QComboBox*>(n); };
  auto edit = [this](const QString& n) { return findChild<QLineEdit*>(n); };
  for (const auto& b : ComboBindings()) bindings_->combos.emplace_back(combo(b.name), &b);
  for (const auto& b : ClockBindings()) bindings_->clock.emplace_back(combo(b.name), &b);
  for (const auto& b : CheckBindings()) bindings_->checks.emplace_back(findChild<QCheckBox*>(b.name), &b);
  for (const auto& b : EditBindings()) bindings_->edits.emplace_back(edit(b.name), &b);
  for (const auto& b : TextBindings()) bindings_->texts.emplace_back(edit(b.name), &b);
  for (const auto& b : AddressBindings()) {
    std::array<QLineEdit*, 4> parts{};
    for (int i = 0; i < 4; ++i) parts[static_cast<std::size_t>(i)] = edit(QStringLiteral("%1%2").arg(b.prefix).arg(i + 1));
    bindings_->addresses.emplace_back(parts, &b);
  }
  bindings_->serialBoxes = {ui_->cbSerialUse, ui_->cbBaud,   ui_->cbParity, ui_->cbDatabits,
                            ui_->cbStopbits,  ui_->cbTermEn, ui_->cbDtrEn,  ui_->cbHardware};

  // A text setting travels between double quotes and ends at ';': none of them,
  // nor a line break, may get into one, however it is typed or pasted.
  const QRegularExpression storable(QStringLiteral("[^\";\\r\\n]*"));
  for (auto& [e, b] : bindings_->texts) e->setValidator(new QRegularExpressionValidator(storable, e));

  for (QLineEdit* e : findChildren<QLineEdit*>())
    if (CheckOf(e) != TCheck::kNone) e->installEventFilter(this);
  ui_->MemoHeader->installEventFilter(this);

  connect(ui_->CBxDP, &QComboBox::activated, this, [this] { CBxDPChange(); });
  connect(ui_->CBxUnits, &QComboBox::activated, this, [this] { CBxUnitsChange(); });
  connect(ui_->CBxWeighMode, &QComboBox::activated, this, [this] { UpdateRangeControls(); });
  connect(ui_->cbEthDHCP, &QComboBox::activated, this, [this] { cbEthDHCPChange(); });
  connect(ui_->CkBQafEnable, &QCheckBox::clicked, this, [this] { UpdateQaDateControls(); });
  connect(ui_->tcSerial, &QTabBar::currentChanged, this, [this] { tcSerialChange(); });
  for (QComboBox* box : bindings_->serialBoxes)
    connect(box, &QComboBox::activated, this, [this] { cbSerialChange(); });
  for (auto& [box, b] : bindings_->clock)
    connect(box, &QComboBox::activated, this, [this] { clockEdited_ = true; });
  connect(ui_->btnSysClock, &QPushButton::clicked, this, [this] { btnSysClockClick(); });
  connect(ui_->PgCSettings, &QTabWidget::currentChanged, this, [this](int i) { PgCSettingsChange(i); });
  connect(ui_->CtrlSetpoint, &QTabBar::currentChanged, this, [this](int i) { CtrlSetpointChange(i); });
  connect(ui_->CBxSetpType, &QComboBox::activated, this, [this] { StoreSetpoint(shownSetpoint_); });
  connect(ui_->MemoHeader, &QPlainTextEdit::textChanged, this, [this] { MemoHeaderChange(); });
}

void TSettingsPages::SetCalibrationEdits(QLineEdit* directZero, QLineEdit* directSpan, QLineEdit* calWeight) {
  calDirectZero_ = directZero;
  calDirectSpan_ = directSpan;
  calWeight_ = calWeight;
  if (calWeight_) calWeight_->installEventFilter(this);
}

int TSettingsPages::Decimals() const { return std::max(ui_->CBxDP->currentIndex(), 0); }

void TSettingsPages::SettingsToControls(bool scaledOnly) {
  if (updatingControls_ || !model_) return;
  updatingControls_ = true;
  const w830::Tdata7400& m = *model_;
  const char c = decimalChar_.toLatin1();
  if (!scaledOnly) {
    if (OnUpdateStatusLine) OnUpdateStatusLine();
    SetIndex(ui_->CBxDP, m.DecimalPoint);
    for (auto& [box, b] : bindings_->combos) SetIndex(box, b->field.get(m) - b->offset);
    for (auto& [box, b] : bindings_->clock) SetIndex(box, b->field.get(m) - b->offset);
    for (auto& [box, b] : bindings_->checks) {
      const QSignalBlocker block(box);
      box->setChecked(b->field.get(m) != 0);
    }
    CBxUnitsChange();
    const int filter = ui_->cbxFilter->findText(QString::number(m.SynchFrequency));
    SetIndex(ui_->cbxFilter, filter >= 0 ? filter : ui_->cbxFilter->findText(QStringLiteral("50")));
    if (calDirectZero_) SetText(calDirectZero_, FromLatin1(IntToFixedStr(m.DirectZero, 4, c)));
    if (calDirectSpan_) SetText(calDirectSpan_, FromLatin1(IntToFixedStr(m.DirectSpan, 4, c)));
    for (auto& [e, b] : bindings_->texts) SetText(e, FromLatin1(b->field(const_cast<w830::Tdata7400&>(m))));
    {
      QStringList lines;
      for (const auto& h : m.PrintHeader) lines << FromLatin1(h);
      while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
      const QSignalBlocker block(ui_->MemoHeader);
      ui_->MemoHeader->setPlainText(lines.join(u'\n'));
    }
    SetText(ui_->EDtRows, QString::number(m.PrintRows));
    SetText(ui_->EdtCols, QString::number(m.PrintColumns));
    for (auto& [parts, b] : bindings_->addresses) {
      const std::string address = b->field(const_cast<w830::Tdata7400&>(m));
      for (int i = 0; i < 4; ++i) SetText(parts[static_cast<std::size_t>(i)], FromLatin1(w830::GetField(address, i, '.')));
    }
    for (int i = 0; i < 6; ++i)
      SetText(findChild<QLineEdit*>(QStringLiteral("edtEthMAC%1").arg(i + 1)),
              FromLatin1(w830::GetField(m.MacAddress, i, ':')));
    cbEthDHCPChange();
    tcSerialChange();
    UpdateQaDateControls();
  }
  shownDecimals_ = Decimals();
  for (auto& [e, b] : bindings_->edits) {
    if (scaledOnly && !RedrawnOnScaleChange(*b)) continue;
    const int32_t v = b->field.get(m);
    switch (b->kind) {
      case TEditBinding::kScaled: SetText(e, FromLatin1(IntToFixedStr(v, shownDecimals_, c))); break;
      case TEditBinding::kThousandths: SetText(e, FromLatin1(IntToFixedStr(v, 3, c))); break;
      case TEditBinding::kInteger: SetText(e, QString::number(v)); break;
    }
  }
  UpdateRangeControls();
  if (OnShowLinearisation) OnShowLinearisation(m.Units);
  if (calWeight_) SetText(calWeight_, FromLatin1(IntToFixedStr(m.CalWeight, shownDecimals_, c)));
  controlsLoaded_ = true;
  updatingControls_ = false;
}

bool TSettingsPages::StoreInteger(QLineEdit* edit, int32_t& target) {
  bool ok = false;
  const int v = edit->text().trimmed().toInt(&ok);
  if (!ok) {
    ShowError(QStringLiteral("'%1' is not a valid integer value").arg(edit->text()));
    return false;
  }
  target = v;
  return true;
}

int32_t TSettingsPages::ReadEdit(const QLineEdit* edit, const TEditBinding& b, int scaledDecimals) const {
  const int decimals = b.kind == TEditBinding::kScaled ? scaledDecimals : b.kind == TEditBinding::kThousandths ? 3 : 0;
  return DigitsToInt(FixDecimals(Latin1(edit->text()), decimals, decimalChar_.toLatin1()));
}

bool TSettingsPages::StoreMilliVoltsPerVolt(QLineEdit* edit, int32_t& target) {
  QString text = edit->text().trimmed();
  bool ok = false;
  const double scaled = text.replace(decimalChar_, u'.').toDouble(&ok) * 10000.0;
  if (!ok || !std::isfinite(scaled) || scaled < std::numeric_limits<int32_t>::min() ||
      scaled > std::numeric_limits<int32_t>::max()) {
    ShowError(QStringLiteral("'%1' is not a valid floating point value").arg(edit->text()));
    return false;
  }
  target = static_cast<int32_t>(std::nearbyint(scaled));
  return true;
}

void TSettingsPages::ControlsToSettings() {
  if (!model_) return;
  w830::Tdata7400& m = *model_;
  // A box with nothing selected holds no value: the model keeps its own.
  auto readCombo = [&m](QComboBox* box, const TComboBinding& b) {
    if (box->currentIndex() >= 0) b.field.set(m, box->currentIndex() + b.offset);
  };
  if (ui_->CBxDP->currentIndex() >= 0) m.DecimalPoint = ui_->CBxDP->currentIndex();
  for (auto& [box, b] : bindings_->combos) readCombo(box, *b);
  if (clockEdited_)
    for (auto& [box, b] : bindings_->clock) readCombo(box, *b);
  for (auto& [box, b] : bindings_->checks) b->field.set(m, box->isChecked() ? 1 : 0);
  if (ui_->cbxFilter->currentIndex() >= 0)
    m.SynchFrequency = static_cast<int32_t>(ui_->cbxFilter->currentText().toDouble());
  // Scaled texts are brought to their decimals first: a value typed as "15" is
  // 15.00, not 15 counts, whether or not the field was left before.
  for (auto& [e, b] : bindings_->edits) b->field.set(m, ReadEdit(e, *b, Decimals()));
  if (calDirectZero_) StoreMilliVoltsPerVolt(calDirectZero_, m.DirectZero);
  if (calDirectSpan_) StoreMilliVoltsPerVolt(calDirectSpan_, m.DirectSpan);
  for (auto& [e, b] : bindings_->texts) b->field(m) = Latin1(e->text());
  const QStringList lines = ui_->MemoHeader->toPlainText().split(u'\n');
  for (std::size_t i = 0; i < m.PrintHeader.size(); ++i) {
    const QString line = static_cast<qsizetype>(i) < lines.size() ? lines[static_cast<qsizetype>(i)] : QString();
    m.PrintHeader[i] = Latin1(QString(line).remove(u'"').remove(u';'));
  }
  StoreInteger(ui_->EDtRows, m.PrintRows);
  StoreInteger(ui_->EdtCols, m.PrintColumns);
  for (auto& [parts, b] : bindings_->addresses) {
    std::vector<std::string> texts;
    for (QLineEdit* p : parts) texts.push_back(Latin1(p->text()));
    b->field(m) = w830::JoinAddress(texts);
  }
  if (OnUpdateStatusLine) OnUpdateStatusLine();
}

void TSettingsPages::LoadSetpoint(int n) {
  if (!model_ || n < 0 || n > 7) return;
  const w830::TSetpointSettings& s = model_->Setpoints[static_cast<std::size_t>(n)];
  SetIndex(ui_->CBxSetpType, s.Type);
  SetIndex(ui_->CBxSetpSrc, s.Source);
  SetIndex(ui_->CBxSetpLogic, s.Logic);
  SetIndex(ui_->CbxSetpLock, s.Lock);
  SetIndex(ui_->CBxSetpAlarm, s.Alarm);
  SetIndex(ui_->CBSetpTiming, s.Timing);
  SetIndex(ui_->CBSetpReset, s.Reset);
  const char c = decimalChar_.toLatin1();
  shownDecimals_ = Decimals();
  SetText(ui_->EdtInflight, FromLatin1(IntToFixedStr(s.InFlight, shownDecimals_, c)));
  SetText(ui_->EdtHysteresis, FromLatin1(IntToFixedStr(s.Hysteresis, shownDecimals_, c)));
  SetText(ui_->EdtTarget, FromLatin1(IntToFixedStr(s.Target, shownDecimals_, c)));
  const QString units = ui_->CBxUnits->itemText(model_->Units);
  for (QLabel* l : {ui_->lblInflightUnits, ui_->lblHysteresisUnits, ui_->lblTargetUnits}) l->setText(units);
  shownSetpoint_ = n;
  setpointLoaded_ = true;
  CtrlSetpointDrawTab();
}

void TSettingsPages::StoreSetpoint(int n) {
  if (!model_ || !setpointLoaded_ || n < 0 || n > 7) return;
  w830::TSetpointSettings& s = model_->Setpoints[static_cast<std::size_t>(n)];
  auto read = [](QComboBox* box, int32_t& target) {
    if (box->currentIndex() >= 0) target = box->currentIndex();
  };
  read(ui_->CBxSetpType, s.Type);
  read(ui_->CBxSetpSrc, s.Source);
  read(ui_->CBxSetpLogic, s.Logic);
  read(ui_->CbxSetpLock, s.Lock);
  read(ui_->CBxSetpAlarm, s.Alarm);
  read(ui_->CBSetpTiming, s.Timing);
  read(ui_->CBSetpReset, s.Reset);
  const char c = decimalChar_.toLatin1();
  s.InFlight = DigitsToInt(FixDecimals(Latin1(ui_->EdtInflight->text()), shownDecimals_, c));
  s.Hysteresis = DigitsToInt(FixDecimals(Latin1(ui_->EdtHysteresis->text()), shownDecimals_, c));
  s.Target = DigitsToInt(FixDecimals(Latin1(ui_->EdtTarget->text()), shownDecimals_, c));
  CtrlSetpointDrawTab();
}

void TSettingsPages::CtrlSetpointDrawTab() {
  if (!model_) return;
  for (int i = 0; i < 8; ++i) ui_->CtrlSetpoint->SetUsed(i, model_->Setpoints[static_cast<std::size_t>(i)].Type != 0);
}

void TSettingsPages::RefreshScaledFields() {
  // What the user typed in the fields about to be redrawn is kept: it is read back
  // with the decimals it was shown with, then drawn again with the new ones.
  StoreSetpoint(shownSetpoint_);
  if (controlsLoaded_ && model_)
    for (auto& [e, b] : bindings_->edits)
      if (RedrawnOnScaleChange(*b)) b->field.set(*model_, ReadEdit(e, *b, shownDecimals_));
  SettingsToControls(true);
  LoadSetpoint(ui_->CtrlSetpoint->currentIndex());
}

void TSettingsPages::CBxDPChange() {
  if (!model_) return;
  model_->DecimalPoint = Decimals();
  RefreshScaledFields();
  controlsLoaded_ = true;
}

void TSettingsPages::CBxUnitsChange() {
  if (ui_->CBxUnits->currentIndex() < 0) return;
  const QString units = ui_->CBxUnits->currentText();
  for (QLabel* l : {ui_->lblFS1Units, ui_->lblFS2Units, ui_->lblZbandUnits, ui_->lblAddTareUnits}) l->setText(units);
  if (OnUnitsChanged) OnUnitsChanged(units);
}

void TSettingsPages::UpdateRangeControls() {
  const bool dual = ui_->CBxWeighMode->currentIndex() != 0;
  ui_->EdtFs2->setEnabled(dual);
  ui_->CBxRes2->setEnabled(dual);
}

void TSettingsPages::cbEthDHCPChange() {
  const bool manual = ui_->cbEthDHCP->currentIndex() != 1;
  for (auto& [parts, b] : bindings_->addresses)
    if (QString::fromLatin1(b->prefix).startsWith(QStringLiteral("edtEth")))
      for (QLineEdit* p : parts) p->setEnabled(manual);
  ui_->edtEthSearchDomain->setEnabled(manual);
}

void TSettingsPages::UpdateQaDateControls() {
  const bool on = ui_->CkBQafEnable->isChecked();
  for (QComboBox* box : {ui_->cbQafYear, ui_->cbQafMonth, ui_->cbQafDay}) box->setEnabled(on);
}

int TSettingsPages::SerialTabPort() const {
  const int tab = ui_->tcSerial->currentIndex();
  return kSerialTabPorts[tab >= 0 && tab < 6 ? tab : 0];
}

void TSettingsPages::tcSerialChange() {
  if (!model_) return;
  const int port = SerialTabPort();
  const QStringList& uses = port == 6 ? kUseSlave : port == 7 ? kUseHst : (port == 1 || port == 3) ? kUsePort1 : kUsePort0;
  {
    const QSignalBlocker block(ui_->cbSerialUse);
    ui_->cbSerialUse->clear();
    ui_->cbSerialUse->addItems(uses);
  }
  for (QComboBox* box : bindings_->serialBoxes) box->setEnabled(port != 6 || box == ui_->cbSerialUse);
  ui_->cbHardware->setEnabled(true);
  if (port == 1 || port == 3 || port == 7) ui_->cbDtrEn->setEnabled(false);
  if (port == 7) ui_->cbTermEn->setEnabled(false);
  const w830::TPortSettings& p = model_->Ports[static_cast<std::size_t>(port)];
  const int32_t values[8] = {p.Use, p.Baud, p.Parity, p.DataBits, p.StopBits, p.Termination, p.Dtr, p.Hardware};
  for (std::size_t i = 0; i < 8; ++i) SetIndex(bindings_->serialBoxes[i], values[i]);
}

void TSettingsPages::cbSerialChange() {
  if (!model_) return;
  const int port = SerialTabPort();
  // The port the viewer is talking through cannot be changed from here.
  if (port == model_->GetWFP()) {
    tcSerialChange();
    return;
  }
  w830::TPortSettings& p = model_->Ports[static_cast<std::size_t>(port)];
  int32_t* targets[8] = {&p.Use, &p.Baud, &p.Parity, &p.DataBits, &p.StopBits, &p.Termination, &p.Dtr, &p.Hardware};
  for (std::size_t i = 0; i < 8; ++i)
    if (bindings_->serialBoxes[i]->currentIndex() >= 0) *targets[i] = bindings_->serialBoxes[i]->currentIndex();
}

void TSettingsPages::btnSysClockClick() {
  clockEdited_ = true;
  const QDateTime now = QDateTime::currentDateTime();
  int year = now.date().year();
  if (year >= 2000) year -= 2000;
  SetIndex(ui_->cbClkHour, now.time().hour());
  SetIndex(ui_->cbClkMinute, now.time().minute());
  SetIndex(ui_->cbClkSecond, now.time().second());
  SetIndex(ui_->cbClkYear, year);
  SetIndex(ui_->cbClkMonth, now.date().month() - 1);
  SetIndex(ui_->cbClkDay, now.date().day() - 1);
}

void TSettingsPages::PgCSettingsChange(int index) {
  StoreSetpoint(shownSetpoint_);
  ControlsToSettings();
  if (ui_->PgCSettings->widget(index) == ui_->TSSetpoint) {
    const QSignalBlocker block(ui_->CtrlSetpoint);
    ui_->CtrlSetpoint->setCurrentIndex(0);
    LoadSetpoint(0);
  }
}

void TSettingsPages::CtrlSetpointChange(int index) {
  if (QWidget* f = QApplication::focusWidget(); qobject_cast<QLineEdit*>(f) && ui_->TSSetpoint->isAncestorOf(f))
    ExitCheck(static_cast<QLineEdit*>(f));
  StoreSetpoint(shownSetpoint_);
  LoadSetpoint(index);
}

void TSettingsPages::MemoHeaderChange() {
  QPlainTextEdit* memo = ui_->MemoHeader;
  while (memo->blockCount() > 6) {
    QTextCursor cursor(memo->document()->lastBlock());
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.removeSelectedText();
    Prompter().ShowMessage(kHeaderLimit);
  }
}

const QStringList& TSettingsPages::SerialFunctionNames() { return kUseHst; }

void TSettingsPages::ShowError(const QString& text) { Prompter().MessageDlg(text, TMsgDlgType::mtError, mbOK); }

QString TSettingsPages::OutOfRangeText(int min, int max, int decimals, QChar c) {
  return QStringLiteral("Out of Range: (%1 to %2)")
      .arg(FromLatin1(IntToFixedStr(min, decimals, c.toLatin1())), FromLatin1(IntToFixedStr(max, decimals, c.toLatin1())));
}

QString TSettingsPages::HostNameError(const QString& hostName) {
  if (hostName.isEmpty() || hostName.size() > 64)
    return QStringLiteral("Invalid length for hostname %1, should be between 1..64").arg(hostName.size());
  for (const QChar ch : hostName) {
    const bool ok = ch == u'-' || (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'z');
    if (!ok) return QStringLiteral("Character \"%1\" is not valid for a hostname, should be [0-9a-z\\-]").arg(ch);
  }
  return QString();
}

bool TSettingsPages::KeyFilter(QLineEdit* edit, QChar key) {
  const char16_t u = key.unicode();
  if (u == '\r') {
    const TCheck check = CheckOf(edit);
    const int tag = edit->property("Tag").toInt();
    const int decimals = check == TCheck::kTableDecimals ? kEditLimits[std::clamp(tag, 0, 22)].decimals
                         : check == TCheck::kFilterOnly  ? 0
                                                         : Decimals();
    edit->setText(FromLatin1(FixDecimals(Latin1(edit->text()), decimals, decimalChar_.toLatin1())));
    return false;
  }
  if (u == ' ' || u == '+' || u == ',' || u == '-' || u == '.') return true;
  if ((u >= 32 && u <= '/') || u > '9') return false;
  return true;
}

void TSettingsPages::ExitCheck(QLineEdit* edit) {
  const TCheck check = CheckOf(edit);
  const char c = decimalChar_.toLatin1();
  if (check == TCheck::kHostName) {
    const QString error = HostNameError(ui_->edtEthHostname->text());
    if (!error.isEmpty()) ShowError(error);
    return;
  }
  if (check != TCheck::kDecimalPoint && check != TCheck::kTableDecimals && check != TCheck::kAddTare) return;
  const int tag = std::clamp(edit->property("Tag").toInt(), 0, 22);
  const int decimals = check == TCheck::kTableDecimals ? kEditLimits[tag].decimals : Decimals();
  const std::string text = FixDecimals(Latin1(edit->text()), decimals, c);
  edit->setText(FromLatin1(text));
  const int32_t v = DigitsToInt(text);
  if (check == TCheck::kAddTare) {
    const bool dual = ui_->CBxWeighMode->currentIndex() == 1 || ui_->CBxWeighMode->currentIndex() == 2;
    const int32_t limit = DigitsToInt(Latin1((dual ? ui_->EdtFs2 : ui_->EdtFS1)->text()));
    if (v < 0 || v > limit) ShowError(OutOfRangeText(0, limit, decimals, decimalChar_));
    return;
  }
  if (v < kEditLimits[tag].min || v > kEditLimits[tag].max)
    ShowError(OutOfRangeText(kEditLimits[tag].min, kEditLimits[tag].max, decimals, decimalChar_));
}

bool TSettingsPages::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == ui_->MemoHeader) {
      if (typed.size() == 1 && typed.front().unicode() > 32 &&
          ui_->MemoHeader->textCursor().block().text().size() >= 30) {
        Prompter().ShowMessage(kHeaderLimit);
        return true;
      }
      return false;
    }
    // The host name edits take any text; their check is on leaving.
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && CheckOf(edit) != TCheck::kHostName &&
                                                       (enter || typed.size() == 1) &&
                                                       !(key->modifiers() & Qt::ControlModifier)) {
      const QChar ch = enter ? QChar(u'\r') : typed.front();
      if (ch.unicode() < 32 && !enter) return false;
      return !KeyFilter(edit, ch);
    }
  } else if (event->type() == QEvent::FocusOut) {
    // Only a move within this window is leaving the field: the warning box that the
    // check raises must not check again.
    QWidget* next = QApplication::focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && next && next->window() == edit->window())
      ExitCheck(edit);
  }
  return QWidget::eventFilter(watched, event);
}
