#include "components/HHIntf.h"

#include <QApplication>

#include "platform/manualhelp.h"
#include "platform/prompter.h"

namespace {

struct TEngineState {
  THelpEngineLoader loader;
  std::unique_ptr<THelpEngine> engine;
  bool reasonShown = false;
};

TEngineState& State() {
  static TEngineState state;
  return state;
}

THelpEngine* Engine() {
  TEngineState& state = State();
  if (!state.engine) state.engine = state.loader ? state.loader() : LoadProgramHelpEngine();
  return state.engine.get();
}

}  // namespace

int HtmlHelp(QWidget* window, const QString& file, unsigned command, THHData& data) {
  if (THelpEngine* engine = Engine()) return engine->HtmlHelpA(window, file, command, data);
  if (command == HH_CLOSE_ALL || command == HH_GET_WIN_TYPE || command == HH_SET_WIN_TYPE) return -1;
  QApplication::beep();
  if (!State().reasonShown) {
    State().reasonShown = true;
    Prompter().MessageDlg(QString::fromLatin1(kNoHelpEngineMessage), TMsgDlgType::mtError, mbOK);
  }
  return -1;
}

void SetHelpEngineLoader(THelpEngineLoader loader) {
  TEngineState& state = State();
  state.loader = std::move(loader);
  state.engine.reset();
  state.reasonShown = false;
}
