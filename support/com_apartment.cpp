#include "support/com_apartment.h"

#include "platform/platform.h"

ComApartment::ComApartment() {
  try {
    entered_ = platform::CoInitialize() >= 0;
  } catch (...) {
  }
}

ComApartment::~ComApartment() {
  if (!entered_) return;
  try {
    platform::CoUninitialize();
  } catch (...) {
  }
}
