#include "mimic/voxMimicDisp.h"

#include <QMouseEvent>
#include <QPainter>
#include <exception>

#include "mimic/backgroundpicture.h"
#include "mimic/mimicerror.h"
#include "platform/prompter.h"

TVoxMimicDisp::TVoxMimicDisp(QWidget* parent) : TVoxMimic(parent) {
  lcd_.OnColor = 0;
  reloadTimer_.setSingleShot(true);
  reloadTimer_.setInterval(kResizeSettleMs);
  connect(&reloadTimer_, &QTimer::timeout, this, &TVoxMimicDisp::Reload);
}

void TVoxMimicDisp::SetBackgroundFile(const QString& path) {
  if (backgroundFile_ == path) return;
  backgroundFile_ = path;
  LayoutChanged();
}

void TVoxMimicDisp::SetLCDFile(const QString& path) {
  if (lcdFile_ == path) return;
  lcdFile_ = path;
  LayoutChanged();
}

void TVoxMimicDisp::SetKeyFile(const QString& path) {
  if (keyFile_ == path) return;
  keyFile_ = path;
  LayoutChanged();
}

void TVoxMimicDisp::LayoutChanged() { reloadTimer_.start(); }

void TVoxMimicDisp::resizeEvent(QResizeEvent* event) {
  TVoxMimic::resizeEvent(event);
  reloadTimer_.start();
}

void TVoxMimicDisp::Reload() {
  reloadTimer_.stop();
  if (backgroundFile_.isEmpty()) return;
  lcdActive_ = false;
  buttons_.Deactivate();
  if (width() < 1 || height() < 1) return;
  canvas_ = QImage(size(), QImage::Format_RGB32);
  canvas_.fill(palette().color(QPalette::Window));
  LoadBackground();
  update();
}

void TVoxMimicDisp::LoadBackground() {
  try {
    const QImage picture = ReadBackgroundPicture(backgroundFile_);
    {
      QPainter painter(&canvas_);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(canvas_.rect(), picture);
    }
    const QRect r = LCDRect();
    if (!lcdFile_.isEmpty()) lcd_.LoadMap(r.width(), r.height(), lcdFile_);
    lcd_.CaptureBackground(r.left(), r.top(), canvas_, r.height(), r.width());
    lcdActive_ = !lcdFile_.isEmpty();
    // Reload shows the whole picture once the layout is done.
    DrawLCD();
    // A broken key map costs the keys only: the display still shows the weight.
    if (!keyFile_.isEmpty()) buttons_.Load(keyFile_, this);
    lastReported_.clear();
  } catch (const EMimicError& e) {
    Report(e.Text());
  }
}

QRegion TVoxMimicDisp::DrawLCD() {
  if (!lcdActive_ || lcdFile_.isEmpty()) return {};
  const QRect r = LCDRect();
  QRegion drawn;
  try {
    drawn = lcd_.Draw(r.left(), r.top(), canvas_, r.height(), r.width());
  } catch (const EMimicError& e) {
    lcdActive_ = false;
    Report(e.Text());
    return {};
  }
  if (!drawn.isEmpty()) buttons_.RestoreHighlight(drawn);
  return drawn;
}

void TVoxMimicDisp::PaintLCD() {
  const QRegion drawn = DrawLCD();
  if (!drawn.isEmpty()) CanvasChanged(drawn);
}

void TVoxMimicDisp::Report(const QString& text) {
  if (text == lastReported_) return;
  lastReported_ = text;
  PostError(text);
}

void TVoxMimicDisp::PostError(const QString& text) {
  QTimer::singleShot(0, this, [text] { Prompter().MessageDlg(text, TMsgDlgType::mtError, mbOK); });
}

void TVoxMimicDisp::RunKeyHandler(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    PostError(QString::fromStdString(e.what()));
  }
}

void TVoxMimicDisp::mousePressEvent(QMouseEvent* event) {
  const QPoint p = ToCanvas(event->position());
  RunKeyHandler([&] { buttons_.MouseDown(p.x(), p.y()); });
}

void TVoxMimicDisp::mouseReleaseEvent(QMouseEvent*) {
  RunKeyHandler([&] { buttons_.MouseUp(); });
}
