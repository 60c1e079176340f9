#pragma once
// An environment variable set (or, with a null value, unset) for one test and put
// back after it.
#include <QByteArray>
#include <QtGlobal>

class TScopedEnv {
 public:
  TScopedEnv(const char* name, const QByteArray& value) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
    old_ = qgetenv(name);
    if (value.isNull()) qunsetenv(name);
    else qputenv(name, value);
  }
  ~TScopedEnv() {
    if (had_) qputenv(name_, old_);
    else qunsetenv(name_);
  }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};
