#pragma once
// Makes the C library's readdir fail, for code under test that lists a folder:
// while this object lives, the call after the first `succeeding` ones returns no
// entry with errno set to `error`, as a failing disk or a vanished device would.
// It acts on every thread, so arm it only around the code under test.
class TFailingReaddir {
 public:
  TFailingReaddir(int succeeding, int error);
  ~TFailingReaddir();
  TFailingReaddir(const TFailingReaddir&) = delete;
  TFailingReaddir& operator=(const TFailingReaddir&) = delete;
};
