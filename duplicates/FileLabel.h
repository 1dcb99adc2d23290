#pragma once
// The file labels of the duplicates and compare windows: how wide a line may be and how a longer
// one is cut.

#include <functional>
#include <string>
#include <string_view>

namespace sonalog {

// The width in pixels that a file line may take in its label.
inline constexpr int kFileLabelWidth = 458;

// Cuts a line to the label's width: wider than limit pixels, "..." is appended and the character
// before it removed until the width is at most limit. width measures a text in pixels; a window
// whose labels are laid out passes its label's own width as the limit.
std::string fitToLabel(std::string line, const std::function<int(std::string_view)>& width,
                       int limit = kFileLabelWidth);

}  // namespace sonalog
