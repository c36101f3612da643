#pragma once
// Text that must be valid UTF-8 to be shown (a map's title, a message handed
// to Python) made so from whatever bytes it holds: a file name need not be
// UTF-8 ("caf\xe9.dat" from a Latin-1 system).

#include <string>
#include <string_view>

namespace torvane {

// `text` with every byte that is not part of a valid UTF-8 sequence
// replaced by U+FFFD, the replacement character; valid text is unchanged.
std::string ValidUtf8(std::string_view text);

}  // namespace torvane
