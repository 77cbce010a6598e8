// COM entered on this thread, in a single-threaded apartment, for the object's life: the shell
// may hand a request to COM-based handlers, so its callers are to have entered COM first. Where
// COM cannot be entered the program goes on without it.
#pragma once

class ComApartment {
 public:
  ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment();

 private:
  bool entered_ = false;
};
