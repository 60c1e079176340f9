#pragma once
// Every modal question the programs ask goes through one prompter, so that tests
// can script the answers and read back the texts instead of facing a real window.
#include <QString>

class QDialog;
class QPrinter;
class QWidget;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
};
using TMsgDlgButtons = unsigned;

enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
};

class TPrompter {
 public:
  virtual ~TPrompter() = default;
  // A message dialog with the given buttons; returns the TModalResult of the button pressed.
  virtual int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
  // A plain message box with one OK button.
  virtual void ShowMessage(const QString& text) = 0;
  // File dialogs return the chosen path, or an empty text when cancelled. The filter is
  // Qt's ("Text (*.txt);;All Files (*.*)"); its first entry is selected, and a name
  // typed without a suffix gets the open dialog's first filter suffix or the save
  // dialog's default suffix.
  virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) = 0;
  virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                               const QString& defaultSuffix) = 0;
  // The print dialog; true when the user chose to print.
  virtual bool PrintDialog(QWidget* parent, QPrinter& printer) = 0;
  // Runs one of the programs' own dialogs modally; returns its result.
  virtual int ExecDialog(QDialog& dialog) = 0;
};

// The filter as the desktop's file dialog takes it: "*.*" means every file, as on
// Windows, and is "*" here, where many file names have no dot.
QString DesktopFileFilter(const QString& filter);

// The prompter in force: the one set last, or the real one on QMessageBox and friends.
TPrompter& Prompter();
// Installs a prompter (tests); nullptr goes back to the real one. Not owned.
// Returns the one installed before, for putting back.
TPrompter* SetPrompter(TPrompter* prompter);
