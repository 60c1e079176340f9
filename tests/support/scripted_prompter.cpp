#include "tests/support/scripted_prompter.h"

#include <QDialog>
#include <QPrinter>
#include <gtest/gtest.h>

namespace {
const char* KindName(TPrompt::Kind kind) {
  switch (kind) {
    case TPrompt::Message: return "message";
    case TPrompt::Show: return "message";
    case TPrompt::OpenFile: return "open file";
    case TPrompt::SaveFile: return "save file";
    case TPrompt::Print: return "print";
    case TPrompt::Dialog: return "dialog";
  }
  return "?";
}
// ShowMessage and MessageDlg take the same kind of answer.
TPrompt::Kind AnswerKindOf(TPrompt::Kind kind) { return kind == TPrompt::Show ? TPrompt::Message : kind; }
}  // namespace

TScriptedPrompter::TScriptedPrompter() : previous_(SetPrompter(this)) {}
TScriptedPrompter::~TScriptedPrompter() { SetPrompter(previous_); }

void TScriptedPrompter::AnswerMessage(int result) { answers_.push_back({TPrompt::Message, result, {}, {}}); }
void TScriptedPrompter::AnswerFile(const QString& path) { answers_.push_back({TPrompt::OpenFile, mrOk, path, {}}); }
void TScriptedPrompter::AnswerPrint(bool print) {
  answers_.push_back({TPrompt::Print, print ? mrOk : mrCancel, {}, {}});
}
void TScriptedPrompter::AnswerPrintToPdf(const QString& path) { answers_.push_back({TPrompt::Print, mrOk, path, {}}); }
void TScriptedPrompter::AnswerDialog(std::function<int(QDialog&)> handler) {
  answers_.push_back({TPrompt::Dialog, mrCancel, {}, std::move(handler)});
}

std::vector<QString> TScriptedPrompter::Messages() const {
  std::vector<QString> out;
  for (const auto& p : prompts_)
    if (p.kind == TPrompt::Message || p.kind == TPrompt::Show) out.push_back(p.text);
  return out;
}

bool TScriptedPrompter::Take(TPrompt::Kind kind, const TPrompt& prompt, Answer& answer) {
  prompts_.push_back(prompt);
  const TPrompt::Kind want = AnswerKindOf(kind);
  const bool fileKind = want == TPrompt::OpenFile || want == TPrompt::SaveFile;
  if (!answers_.empty()) {
    const TPrompt::Kind have = answers_.front().kind;
    if (have == want || (fileKind && have == TPrompt::OpenFile)) {
      answer = std::move(answers_.front());
      answers_.pop_front();
      return true;
    }
  }
  ADD_FAILURE() << "unexpected " << KindName(kind) << " prompt: " << prompt.text.toStdString();
  return false;
}

int TScriptedPrompter::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  Answer a;
  return Take(TPrompt::Message, {TPrompt::Message, text, type, buttons}, a) ? a.result : mrCancel;
}

void TScriptedPrompter::ShowMessage(const QString& text) {
  Answer a;
  Take(TPrompt::Show, {TPrompt::Show, text, TMsgDlgType::mtCustom, mbOK}, a);
}

QString TScriptedPrompter::OpenFileName(QWidget*, const QString& caption, const QString& filter) {
  Answer a;
  const TPrompt prompt{TPrompt::OpenFile, caption, TMsgDlgType::mtCustom, 0, filter};
  return Take(TPrompt::OpenFile, prompt, a) ? a.path : QString();
}

QString TScriptedPrompter::SaveFileName(QWidget*, const QString& caption, const QString& filter,
                                       const QString& defaultSuffix) {
  Answer a;
  const TPrompt prompt{TPrompt::SaveFile, caption, TMsgDlgType::mtCustom, 0, filter, defaultSuffix};
  return Take(TPrompt::SaveFile, prompt, a) ? a.path : QString();
}

bool TScriptedPrompter::PrintDialog(QWidget*, QPrinter& printer) {
  Answer a;
  if (!Take(TPrompt::Print, {TPrompt::Print, {}}, a) || a.result != mrOk) return false;
  if (!a.path.isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(a.path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  }
  return true;
}

int TScriptedPrompter::ExecDialog(QDialog& dialog) {
  Answer a;
  if (!Take(TPrompt::Dialog, {TPrompt::Dialog, dialog.objectName()}, a)) return mrCancel;
  return a.dialog(dialog);
}
