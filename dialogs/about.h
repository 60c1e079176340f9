#pragma once
// The About box: the program's description, version and copyright, read from the
// version block the build puts into the program. Made once at start-up and reused.
#include <QDialog>
#include <memory>

class TCEVersionInfo;
namespace Ui {
class TfrmAbout;
}

class TfrmAbout : public QDialog {
  Q_OBJECT
 public:
  // Reads the running program's version block.
  explicit TfrmAbout(QWidget* parent = nullptr);
  ~TfrmAbout() override;

  void ShowInfo(const TCEVersionInfo& info);
  void reject() override;

 private:
  std::unique_ptr<Ui::TfrmAbout> ui_;
};

// The one instance, made at start-up, or nullptr.
extern TfrmAbout* frmAbout;
