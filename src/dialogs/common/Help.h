#pragma once

class QWidget;

namespace ambrin {

inline constexpr const char* kAppName = "Ambrin";

// F1 in every window: opens the help file, or says where it was looked for.
bool ShowHelp();

}  // namespace ambrin
