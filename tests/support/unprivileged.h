#pragma once
// File permissions do not bind the super-user, and the test command runs as one:
// while this object lives the process acts as the unprivileged "nobody", so a
// read-only folder refuses writes as it would for a technician's account.
// Give the folders involved read and search rights for others first.
#include <unistd.h>

class TUnprivileged {
 public:
  TUnprivileged() {
    if (::geteuid() != 0) return;
    dropped_ = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    if (!dropped_) Restore();
  }
  ~TUnprivileged() {
    if (dropped_) Restore();
  }
  TUnprivileged(const TUnprivileged&) = delete;
  TUnprivileged& operator=(const TUnprivileged&) = delete;

  // False when running as the super-user could not be given up.
  bool Active() const { return dropped_ || ::geteuid() != 0; }

 private:
  static constexpr uid_t kNobody = 65534;
  static void Restore() {
    (void)::seteuid(0);
    (void)::setegid(0);
  }
  bool dropped_ = false;
};
