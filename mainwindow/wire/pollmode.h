#pragma once
// What received replies are for, and how the Log page gets its samples.

enum TPollMode : int {
  pmNone = 0,
  pmDisplay = 1,
  pmLog = 2,
  pmTest = 3,
  pmReadSettings = 4,
  pmWriteSettings = 5,
  pmCalibration = 6,
};

enum TLogMode : int { lmOff = 0, lmStreamed = 1, lmPolled = 2 };
