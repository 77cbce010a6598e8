// The report's Windows family wording, chosen from the version facts.
#pragma once

#include <string>

#include "osinfo/COSInfo.h"

// "WindowsType = ..." without a line end. Each fact is read when its test needs it.
std::string WindowsFamilyText(const COSInfo& os);
