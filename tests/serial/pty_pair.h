#pragma once
// A pseudo-terminal pair for the driver's tests: the port opens the slave by its
// path, the test plays the far end on the master.
#include <chrono>
#include <string>

#include "serial/SerDevice.h"

class TPtyPair {
 public:
  TPtyPair();
  ~TPtyPair();
  TPtyPair(const TPtyPair&) = delete;
  TPtyPair& operator=(const TPtyPair&) = delete;

  const std::string& SlavePath() const { return slave_; }
  void Write(const std::string& bytes);
  // Reads until count bytes came or the time is up; gives what came.
  std::string Read(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10));
  void CloseMaster();
  // The slave's line as the port programmed it.
  TSerLineState SlaveLine() const;

 private:
  int master_ = -1;
  std::string slave_;
};
