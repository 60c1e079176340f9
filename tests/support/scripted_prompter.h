#pragma once
// A prompter for tests: every question is recorded, and answered from the queue of
// answers the test gave. A question with no answer queued fails the test and is
// answered with Cancel, so a forgotten answer can never hang a run.
#include <QString>
#include <deque>
#include <functional>
#include <ostream>
#include <vector>

#include "platform/prompter.h"

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

struct TPrompt {
  enum Kind { Message, Show, OpenFile, SaveFile, Print, Dialog };
  Kind kind;
  QString text;  // message text, file dialog caption, or the dialog's object name
  TMsgDlgType type = TMsgDlgType::mtCustom;
  TMsgDlgButtons buttons = 0;
  QString filter{};         // file dialogs
  QString defaultSuffix{};  // save dialogs
};

class TScriptedPrompter final : public TPrompter {
 public:
  // Installs itself for its lifetime, then puts back the one it replaced.
  TScriptedPrompter();
  ~TScriptedPrompter() override;

  // Queue answers, taken in order by whatever asks next.
  void AnswerMessage(int result);
  void AnswerFile(const QString& path);  // empty: cancelled
  void AnswerPrint(bool print);
  // Prints into a PDF file at path, on A4 paper without margins, so that positions
  // in the file are the printout's own.
  void AnswerPrintToPdf(const QString& path);
  // The handler gets the dialog unshown: it may fill its fields and press its
  // buttons, and returns the dialog's result.
  void AnswerDialog(std::function<int(QDialog&)> handler);

  const std::vector<TPrompt>& Prompts() const { return prompts_; }
  // Texts of the message prompts (MessageDlg and ShowMessage), in order.
  std::vector<QString> Messages() const;
  void Clear() { prompts_.clear(); }
  bool AllAnswersUsed() const { return answers_.empty(); }

  int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
  void ShowMessage(const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                       const QString& defaultSuffix) override;
  bool PrintDialog(QWidget* parent, QPrinter& printer) override;
  int ExecDialog(QDialog& dialog) override;

 private:
  struct Answer {
    TPrompt::Kind kind;
    int result = mrCancel;
    QString path;
    std::function<int(QDialog&)> dialog;
  };
  bool Take(TPrompt::Kind kind, const TPrompt& prompt, Answer& answer);

  TPrompter* previous_;
  std::deque<Answer> answers_;
  std::vector<TPrompt> prompts_;
};

// Passes every prompt on to another prompter: a test's own prompter overrides
// only the prompts it answers or watches.
class TForwardingPrompter : public TPrompter {
 public:
  explicit TForwardingPrompter(TPrompter& next) : next_(next) {}
  int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    return next_.MessageDlg(text, type, buttons);
  }
  void ShowMessage(const QString& text) override { next_.ShowMessage(text); }
  QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override {
    return next_.OpenFileName(parent, caption, filter);
  }
  QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                       const QString& suffix) override {
    return next_.SaveFileName(parent, caption, filter, suffix);
  }
  bool PrintDialog(QWidget* parent, QPrinter& printer) override { return next_.PrintDialog(parent, printer); }
  int ExecDialog(QDialog& dialog) override { return next_.ExecDialog(dialog); }

 private:
  TPrompter& next_;
};
