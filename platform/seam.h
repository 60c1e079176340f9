#pragma once
// A process-wide service behind an interface: the system's own, unless a test has
// installed a replacement (not owned; nullptr goes back to the system's).
template <class Interface, class System>
class TSeam {
 public:
  static Interface& Get() {
    static System system;
    return installed_ ? *installed_ : system;
  }
  static void Install(Interface* replacement) { installed_ = replacement; }

 private:
  static inline Interface* installed_ = nullptr;
};
