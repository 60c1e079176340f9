#include "mainwindow/settings/settingspagescore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "components/NumEdit.h"
#include "mainwindow/fields/decimalpointlist.h"
#include "mainwindow/fields/fieldtext.h"
#include "mainwindow/settings/pagecontrols.h"
#include "mainwindow/settings/setpointtabbar.h"
#include "mainwindow/settings/settingsbindings.h"
#include "platform/prompter.h"
#include "protocol/tools.h"

namespace {

// A change of the decimal point or character redraws the scaled fields and the
// setpoint options; every other field keeps what it shows, typed or not.
bool RedrawnOnScaleChange(const TEditBinding& b) {
  return b.kind == TEditBinding::kScaled || QByteArrayView(b.name).startsWith("EdtSetp");
}

void SetIndex(QComboBox* box, int index) {
  const QSignalBlocker block(box);
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void SetText(QLineEdit* edit, const QString& text) {
  const QSignalBlocker block(edit);
  edit->setText(text);
}

// The entry a box stands at: in a box that takes typed text, the entry that text
// names, or none.
int Entry(const QComboBox* box) {
  return box->isEditable() ? box->findText(box->currentText(), Qt::MatchExactly) : box->currentIndex();
}

// A box with nothing selected holds no value: the model keeps its own.
void ReadIndex(const QComboBox* box, int32_t& target) {
  if (const int entry = Entry(box); entry >= 0) target = entry;
}

// Shown for a sync frequency the list has no entry for.
const QString kUnlistedFilter = QStringLiteral("50");
// The loader takes a dotted address of 7 to 15 characters, so all four parts.
constexpr std::size_t kShortestAddress = 7;
constexpr std::size_t kLongestAddress = 15;

template <class T>
T* Child(const QWidget& root, const QString& name) {
  return root.findChild<T*>(name);
}

// The caption labels only the first part of an address (IP, mask, gateway, MAC),
// which lies in a row of its own with the other parts: each part is named after
// the caption and its place, so that assistive technology tells them apart.
void NameAddressParts(QWidget& pages) {
  const QList<QHBoxLayout*> rows = pages.findChildren<QHBoxLayout*>();
  for (QLabel* label : pages.findChildren<QLabel*>()) {
    QWidget* first = label->buddy();
    if (!first) continue;
    const auto row = std::find_if(rows.begin(), rows.end(), [first](QHBoxLayout* r) { return r->indexOf(first) >= 0; });
    if (row == rows.end()) continue;
    std::vector<QLineEdit*> parts;
    for (int i = 0; i < (*row)->count(); ++i)
      if (auto* part = qobject_cast<QLineEdit*>((*row)->itemAt(i)->widget())) parts.push_back(part);
    if (parts.size() < 2) continue;
    const QString caption = label->text().remove('&');
    for (std::size_t i = 0; i < parts.size(); ++i)
      parts[i]->setAccessibleName(QStringLiteral("%1, part %2").arg(caption).arg(i + 1));
  }
}

}  // namespace

TSettingsPagesCore::TSettingsPagesCore(QWidget* parent) : QWidget(parent), bound_(std::make_unique<TPageControls>()) {}

TSettingsPagesCore::~TSettingsPagesCore() {
  // The controls go only after this, as the widget ends; one that still reports
  // then (the editable DHCP box, losing its focus) must find no handler.
  for (QObject* child : findChildren<QObject*>()) QObject::disconnect(child, nullptr, this, nullptr);
}

void TSettingsPagesCore::Bind(const TPageBindings& own) {
  TPageControls& b = *bound_;
  auto combo = [this](const QString& n) { return Child<QComboBox>(*this, n); };
  auto edit = [this](const QString& n) { return Child<QLineEdit>(*this, n); };
  for (const TPageBindings* table : {&SharedBindings(), &own}) {
    for (const auto& r : table->combos) b.combos.emplace_back(combo(r.name), &r);
    for (const auto& r : table->checks) b.checks.emplace_back(Child<QCheckBox>(*this, r.name), &r);
    for (const auto& r : table->edits) b.edits.emplace_back(edit(r.name), &r);
    for (const auto& r : table->texts) b.texts.emplace_back(edit(r.name), &r);
    for (const auto& r : table->addresses) {
      std::array<QLineEdit*, 4> parts{};
      for (int i = 0; i < 4; ++i)
        parts[static_cast<std::size_t>(i)] = edit(QStringLiteral("%1%2").arg(r.prefix).arg(i + 1));
      b.addresses.emplace_back(parts, &r);
    }
  }
  for (const auto& r : own.setpointCombos) b.setpointCombos.emplace_back(combo(r.name), &r);
  for (const auto& r : own.setpointEdits) {
    b.setpointEdits.emplace_back(edit(r.name), &r);
    b.setpointUnitLabels.push_back(Child<QLabel>(*this, r.unitsLabel));
  }
  for (const char* name : own.unitLabels) b.unitLabels.push_back(Child<QLabel>(*this, name));
  NameAddressParts(*this);
  const char* serialBoxes[8] = {"cbSerialUse", "cbBaud",   "cbParity", "cbDatabits",
                                "cbStopbits",  "cbTermEn", "cbDtrEn",  "cbHardware"};
  for (std::size_t i = 0; i < 8; ++i) b.serialBoxes[i] = combo(serialBoxes[i]);
  for (std::size_t i = 0; i < 6; ++i) {
    b.macEdits[i] = edit(QStringLiteral("edtEthMAC%1").arg(i + 1));
    b.macEdits[i]->setEnabled(false);
  }
  b.dp = combo("CBxDP");
  b.units = combo("CBxUnits");
  b.filter = combo("cbxFilter");
  b.weighMode = combo("CBxWeighMode");
  b.dhcp = combo("cbEthDHCP");
  b.memo = Child<QPlainTextEdit>(*this, "MemoHeader");
  b.rows = edit("EDtRows");
  b.cols = edit("EdtCols");
  b.fs1 = edit("EdtFS1");
  b.fs2 = edit("EdtFs2");
  b.hostName = edit("edtEthHostname");
  b.searchDomain = edit("edtEthSearchDomain");
  b.serialTabs = Child<QTabBar>(*this, "tcSerial");
  b.setpointTabs = Child<TSetpointTabBar>(*this, "CtrlSetpoint");
  b.subPages = Child<QTabWidget>(*this, "PgCSettings");
  b.setpointPage = Child<QWidget>(*this, "TSSetpoint");
  for (int i = 1; i <= 8; ++i) b.setpointTabs->addTab(QStringLiteral("%1").arg(i, 2));
  // A bar that is not shown yet takes its tabs without telling its layout, which
  // would keep the empty bar's height: no tab could be seen or clicked.
  for (QTabBar* bar : {static_cast<QTabBar*>(b.setpointTabs), b.serialTabs}) bar->updateGeometry();

  // A text setting travels between double quotes and ends at ';': none of them,
  // nor a line break, may get into one, however it is typed or pasted. The files
  // and the link are Latin-1, so nothing beyond it either.
  const QRegularExpression storable(QStringLiteral("[^\";\\r\\n\\x{0100}-\\x{ffff}]*"));
  for (auto& [e, r] : b.texts) e->setValidator(new QRegularExpressionValidator(storable, e));

  for (QLineEdit* e : findChildren<QLineEdit*>())
    if (HasInputCheck(e)) e->installEventFilter(this);
  b.memo->installEventFilter(this);

  connect(b.dp, &QComboBox::activated, this, [this] { CBxDPChange(); });
  connect(b.units, &QComboBox::activated, this, [this] { CBxUnitsChange(); });
  connect(b.filter, &QComboBox::activated, this, [this] { filterStandsIn_ = false; });
  connect(b.dhcp, &QComboBox::activated, this, [this] { cbEthDHCPChange(); });
  connect(b.dhcp, &QComboBox::editTextChanged, this, [this] { cbEthDHCPChange(); });
  connect(b.serialTabs, &QTabBar::currentChanged, this, [this] { tcSerialChange(); });
  for (QComboBox* box : b.serialBoxes) connect(box, &QComboBox::activated, this, [this] { cbSerialChange(); });
  connect(b.subPages, &QTabWidget::currentChanged, this, [this](int i) { PgCSettingsChange(i); });
  connect(b.setpointTabs, &QTabBar::currentChanged, this, [this](int i) { CtrlSetpointChange(i); });
  connect(b.setpointCombos.front().first, &QComboBox::activated, this, [this] { StoreSetpoint(shownSetpoint_); });
  connect(b.memo, &QPlainTextEdit::textChanged, this, [this] { MemoHeaderChange(); });
  FillDecimalPointList(*b.dp, decimalChar_);
}

void TSettingsPagesCore::SetCalibrationEdits(QLineEdit* directZero, QLineEdit* directSpan, QLineEdit* calWeight) {
  calDirectZero_ = directZero;
  calDirectSpan_ = directSpan;
  calWeight_ = calWeight;
  if (calWeight_) calWeight_->installEventFilter(this);
}

int TSettingsPagesCore::Decimals() const { return std::max(bound_->dp->currentIndex(), 0); }

int TSettingsPagesCore::ShownUnits() const { return bound_->units->currentIndex(); }

QString TSettingsPagesCore::UnitsName(int index) const { return bound_->units->itemText(index); }

void TSettingsPagesCore::SettingsToControls(bool scaledOnly) {
  if (updatingControls_ || !model_) return;
  updatingControls_ = true;
  const TPageControls& b = *bound_;
  TSettingsModel& m = *model_;
  const char c = decimalChar_.toLatin1();
  if (!scaledOnly) {
    if (OnUpdateStatusLine) OnUpdateStatusLine();
    SetIndex(b.dp, m.DecimalPoint);
    for (auto& [box, r] : b.combos) SetIndex(box, r->field.get(m) - r->offset);
    for (auto& [box, r] : b.checks) {
      const QSignalBlocker block(box);
      box->setChecked(r->field.get(m) != 0);
    }
    CBxUnitsChange();
    const int filter = b.filter->findText(QString::number(m.SynchFrequency));
    SetIndex(b.filter, filter >= 0 ? filter : b.filter->findText(kUnlistedFilter));
    filterStandsIn_ = filter < 0;
    if (calDirectZero_) SetText(calDirectZero_, FromLatin1(IntToFixedStr(m.DirectZero, 4, c)));
    if (calDirectSpan_) SetText(calDirectSpan_, FromLatin1(IntToFixedStr(m.DirectSpan, 4, c)));
    for (auto& [e, r] : b.texts) SetText(e, FromLatin1(r->field(m)));
    {
      // One line per header, empty ones included: the memo always has six lines.
      QStringList lines;
      for (const auto& h : m.PrintHeader) lines << FromLatin1(h);
      const QSignalBlocker block(b.memo);
      b.memo->setPlainText(lines.join(u'\n'));
    }
    SetText(b.rows, QString::number(m.PrintRows));
    SetText(b.cols, QString::number(m.PrintColumns));
    for (auto& [parts, r] : b.addresses) {
      const std::string address = r->field(m);
      for (int i = 0; i < 4; ++i)
        SetText(parts[static_cast<std::size_t>(i)], FromLatin1(settings::GetField(address, i, '.')));
    }
    for (std::size_t i = 0; i < b.macEdits.size(); ++i)
      SetText(b.macEdits[i], FromLatin1(settings::GetField(m.MacAddress, static_cast<int>(i), ':')));
    cbEthDHCPChange();
    tcSerialChange();
    ShowOwnSettings();
    if (OnModelSettled) OnModelSettled();
  }
  shownDecimals_ = Decimals();
  for (auto& [e, r] : b.edits) {
    if (scaledOnly && !RedrawnOnScaleChange(*r)) continue;
    const int32_t v = r->field.get(m);
    switch (r->kind) {
      case TEditBinding::kScaled: SetText(e, FromLatin1(IntToFixedStr(v, shownDecimals_, c))); break;
      case TEditBinding::kThousandths: SetText(e, FromLatin1(IntToFixedStr(v, 3, c))); break;
      case TEditBinding::kInteger: SetText(e, QString::number(v)); break;
    }
  }
  ShowOwnScaled();
  if (OnShowLinearisation) OnShowLinearisation(m.Units);
  if (calWeight_) SetText(calWeight_, FromLatin1(IntToFixedStr(m.CalWeight, shownDecimals_, c)));
  controlsLoaded_ = true;
  updatingControls_ = false;
}

void TSettingsPagesCore::StoreInRange(int32_t value, const TStoredRange& range, int decimals, int32_t& target,
                                      TRefusal& refusal) {
  if (value != target && (value < range.min || value > range.max)) {
    if (!refusal) refusal = OutOfRangeText(range.min, range.max, decimals, decimalChar_);
    return;
  }
  target = value;
}

void TSettingsPagesCore::StoreEdit(QLineEdit* edit, const TEditBinding& b, int decimals, TRefusal& refusal) {
  const int shown = b.kind == TEditBinding::kScaled ? decimals : b.kind == TEditBinding::kThousandths ? 3 : 0;
  int32_t value = b.field.get(*model_);
  StoreInRange(ReadEdit(edit, b, decimals), b.range, shown, value, refusal);
  b.field.set(*model_, value);
}

void TSettingsPagesCore::StoreInteger(QLineEdit* edit, const TStoredRange& range, int32_t& target, TRefusal& refusal) {
  bool ok = false;
  const int v = edit->text().trimmed().toInt(&ok);
  if (!ok) {
    if (!refusal) refusal = QStringLiteral("'%1' is not a valid integer value").arg(edit->text());
    return;
  }
  StoreInRange(v, range, 0, target, refusal);
}

int32_t TSettingsPagesCore::ReadEdit(const QLineEdit* edit, const TEditBinding& b, int scaledDecimals) const {
  const int decimals = b.kind == TEditBinding::kScaled ? scaledDecimals : b.kind == TEditBinding::kThousandths ? 3 : 0;
  return DigitsToInt(FixDecimals(Latin1(edit->text()), decimals, decimalChar_.toLatin1()));
}

void TSettingsPagesCore::StoreMilliVoltsPerVolt(QLineEdit* edit, int32_t& target, TRefusal& refusal) {
  const std::optional<int32_t> value = DecimalTextToCount(Latin1(edit->text()), 4, decimalChar_.toLatin1());
  if (!value) {
    if (!refusal) refusal = QStringLiteral("'%1' is not a valid floating point value").arg(edit->text());
    return;
  }
  target = *value;
}

bool TSettingsPagesCore::Report(const TRefusal& refusal) {
  if (refusal) ShowError(*refusal);
  return !refusal;
}

bool TSettingsPagesCore::ControlsToSettings() {
  TRefusal refusal;
  CollectControls(refusal);
  return Report(refusal);
}

void TSettingsPagesCore::CollectControls(TRefusal& refusal) {
  if (!model_) return;
  const TPageControls& b = *bound_;
  TSettingsModel& m = *model_;
  ReadIndex(b.dp, m.DecimalPoint);
  for (auto& [box, r] : b.combos)
    if (const int entry = Entry(box); entry >= 0) r->field.set(m, entry + r->offset);
  StoreOwnSettings();
  for (auto& [box, r] : b.checks) r->field.set(m, box->isChecked() ? 1 : 0);
  if (!filterStandsIn_ && b.filter->currentIndex() >= 0)
    m.SynchFrequency = static_cast<int32_t>(b.filter->currentText().toDouble());
  // Scaled texts are brought to their decimals first: a value typed as "15" is
  // 15.00, not 15 counts, whether or not the field was left before.
  for (auto& [e, r] : b.edits) StoreEdit(e, *r, Decimals(), refusal);
  if (calDirectZero_) StoreMilliVoltsPerVolt(calDirectZero_, m.DirectZero, refusal);
  if (calDirectSpan_) StoreMilliVoltsPerVolt(calDirectSpan_, m.DirectSpan, refusal);
  for (auto& [e, r] : b.texts) r->field(m) = Latin1(e->text());
  const QStringList lines = b.memo->toPlainText().split(u'\n');
  for (std::size_t i = 0; i < m.PrintHeader.size(); ++i) {
    const QString line = static_cast<qsizetype>(i) < lines.size() ? lines[static_cast<qsizetype>(i)] : QString();
    const QString storable = QString(line).remove(u'"').remove(u';');
    // A pasted line may be longer than a header line is; it is not cut behind the
    // technician's back.
    if (storable.size() > kHeaderLineLength) {
      if (!refusal) refusal = kHeaderLimit;
      continue;
    }
    m.PrintHeader[i] = Latin1(storable);
  }
  StoreInteger(b.rows, {0, 10}, m.PrintRows, refusal);
  StoreInteger(b.cols, {0, 20}, m.PrintColumns, refusal);
  for (auto& [parts, r] : b.addresses) {
    std::vector<std::string> texts;
    for (QLineEdit* p : parts) texts.push_back(Latin1(p->text()));
    std::string address = settings::JoinAddress(texts);
    if (address != r->field(m) && (address.size() < kShortestAddress || address.size() > kLongestAddress)) {
      if (!refusal) refusal = QStringLiteral("An address needs a number in each of its four parts");
      continue;
    }
    r->field(m) = std::move(address);
  }
  if (OnModelSettled) OnModelSettled();
  if (OnUpdateStatusLine) OnUpdateStatusLine();
}

void TSettingsPagesCore::LoadSetpoint(int n) {
  if (!model_ || n < 0 || n > 7) return;
  const TPageControls& b = *bound_;
  for (auto& [box, r] : b.setpointCombos) SetIndex(box, r->field(*model_, n));
  const char c = decimalChar_.toLatin1();
  shownDecimals_ = Decimals();
  for (auto& [e, r] : b.setpointEdits)
    SetText(e, FromLatin1(IntToFixedStr(r->field(*model_, n), shownDecimals_, c)));
  const QString units = b.units->itemText(model_->Units);
  for (QLabel* l : b.setpointUnitLabels) l->setText(units);
  shownSetpoint_ = n;
  setpointLoaded_ = true;
  CtrlSetpointDrawTab();
}

bool TSettingsPagesCore::StoreSetpoint(int n) {
  TRefusal refusal;
  CollectSetpoint(n, refusal);
  return Report(refusal);
}

void TSettingsPagesCore::CollectSetpoint(int n, TRefusal& refusal) {
  if (!model_ || !setpointLoaded_ || n < 0 || n > 7) return;
  const TPageControls& b = *bound_;
  for (auto& [box, r] : b.setpointCombos) ReadIndex(box, r->field(*model_, n));
  const char c = decimalChar_.toLatin1();
  for (auto& [e, r] : b.setpointEdits)
    StoreInRange(DigitsToInt(FixDecimals(Latin1(e->text()), shownDecimals_, c)), r->range, shownDecimals_,
                 r->field(*model_, n), refusal);
  CtrlSetpointDrawTab();
}

void TSettingsPagesCore::CtrlSetpointDrawTab() {
  if (!model_) return;
  const auto& type = bound_->setpointCombos.front().second->field;
  for (int i = 0; i < 8; ++i) bound_->setpointTabs->SetUsed(i, type(*model_, i) != 0);
}

void TSettingsPagesCore::RefreshScaledFields() {
  // What the user typed in the fields about to be redrawn is kept: it is read back
  // with the decimals it was shown with, then drawn again with the new ones.
  TRefusal refusal;
  CollectSetpoint(shownSetpoint_, refusal);
  if (controlsLoaded_ && model_)
    for (auto& [e, r] : bound_->edits)
      if (RedrawnOnScaleChange(*r)) StoreEdit(e, *r, shownDecimals_, refusal);
  Report(refusal);
  // The calibration weight is a step's input, not a setting to write: it is carried
  // over in the edit and never stored in the model.
  std::optional<int32_t> calWeight;
  if (controlsLoaded_ && calWeight_) calWeight = DigitsToInt(FixDecimals(Latin1(calWeight_->text()), shownDecimals_, '.'));
  SettingsToControls(true);
  if (calWeight) SetText(calWeight_, FromLatin1(IntToFixedStr(*calWeight, shownDecimals_, decimalChar_.toLatin1())));
  LoadSetpoint(bound_->setpointTabs->currentIndex());
}

bool TSettingsPagesCore::StorePages() {
  TRefusal refusal;
  CollectControls(refusal);
  CollectSetpoint(bound_->setpointTabs->currentIndex(), refusal);
  return Report(refusal);
}

void TSettingsPagesCore::ShowPages() {
  SettingsToControls(false);
  LoadSetpoint(bound_->setpointTabs->currentIndex());
  bound_->setpointTabs->update();
}

void TSettingsPagesCore::ShowFirstPage() {
  ShowPages();
  bound_->subPages->setCurrentIndex(0);
}

void TSettingsPagesCore::CBxDPChange() {
  if (!model_) return;
  model_->DecimalPoint = Decimals();
  RefreshScaledFields();
  controlsLoaded_ = true;
}

void TSettingsPagesCore::CBxUnitsChange() {
  if (bound_->units->currentIndex() < 0) return;
  const QString units = bound_->units->currentText();
  for (QLabel* l : bound_->unitLabels) l->setText(units);
  if (OnUnitsChanged) OnUnitsChanged(units);
}

void TSettingsPagesCore::cbEthDHCPChange() {
  const bool manual = Entry(bound_->dhcp) != 1;
  for (auto& [parts, r] : bound_->addresses)
    if (QString::fromLatin1(r->prefix).startsWith(QStringLiteral("edtEth")))
      for (QLineEdit* p : parts) p->setEnabled(manual);
  if (bound_->searchDomain) bound_->searchDomain->setEnabled(manual);
}

int TSettingsPagesCore::SerialTab() const { return std::max(bound_->serialTabs->currentIndex(), 0); }

void TSettingsPagesCore::tcSerialChange() {
  if (!model_) return;
  const int tab = SerialTab();
  ArrangeSerialTab(tab);
  const settings::TSerialPort& p = SerialRecord(tab);
  const int32_t values[8] = {p.Use, p.Baud, p.Parity, p.DataBits, p.StopBits, p.Termination, p.Dtr, p.Hardware};
  for (std::size_t i = 0; i < 8; ++i) SetIndex(bound_->serialBoxes[i], values[i]);
}

void TSettingsPagesCore::cbSerialChange() {
  if (!model_) return;
  const int tab = SerialTab();
  // The port the viewer is talking through cannot be changed from here.
  if (SerialRecordLocked(tab)) {
    tcSerialChange();
    return;
  }
  settings::TSerialPort& p = SerialRecord(tab);
  int32_t* targets[8] = {&p.Use, &p.Baud, &p.Parity, &p.DataBits, &p.StopBits, &p.Termination, &p.Dtr, &p.Hardware};
  for (std::size_t i = 0; i < 8; ++i) ReadIndex(bound_->serialBoxes[i], *targets[i]);
}

void TSettingsPagesCore::PgCSettingsChange(int index) {
  TRefusal refusal;
  CollectSetpoint(shownSetpoint_, refusal);
  CollectControls(refusal);
  Report(refusal);
  if (bound_->subPages->widget(index) == bound_->setpointPage) {
    const QSignalBlocker block(bound_->setpointTabs);
    bound_->setpointTabs->setCurrentIndex(0);
    LoadSetpoint(0);
  }
}

void TSettingsPagesCore::CtrlSetpointChange(int index) {
  // A value the record cannot take keeps its record on show, so that what was
  // typed is not drawn over by the next record.
  TRefusal refusal;
  CollectSetpoint(shownSetpoint_, refusal);
  if (refusal) {
    // Leaving the field (the click on the tab may have been what left it) has
    // warned of this value already, and nothing was typed since.
    if (*refusal != exitWarning_) ShowError(*refusal);
    exitWarning_.clear();
    const QSignalBlocker block(bound_->setpointTabs);
    bound_->setpointTabs->setCurrentIndex(shownSetpoint_);
    return;
  }
  if (QWidget* f = QApplication::focusWidget(); qobject_cast<QLineEdit*>(f) && bound_->setpointPage->isAncestorOf(f))
    ExitCheck(static_cast<QLineEdit*>(f));
  LoadSetpoint(index);
}

void TSettingsPagesCore::ShowError(const QString& text) { Prompter().MessageDlg(text, TMsgDlgType::mtError, mbOK); }
