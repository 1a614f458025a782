#pragma once

namespace ambrin {

// What screen readers are told of the strip: that it is a frame (a plain top-level widget
// shows as a filler), and that its project box is "Project" whatever project it shows (an
// editable combo box on Linux takes its text as its name). Installed once, before the strip is
// made.
void InstallStripAccessibility();

}  // namespace ambrin
