viewer_fuzz(cal_backup
  SOURCE ${CMAKE_CURRENT_LIST_DIR}/cal_backup_fuzz.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/cal_backup
  DEPS viewer_calibration)
