// SPDX-License-Identifier: MIT
// Composing the PATH hello hands on.
#include "search_path.hpp"

#include <algorithm>

namespace search_path
{

bool compose(char *path, const char *inherited, const char *defaults, std::size_t defaults_size,
             std::string_view folder)
{
    if (folder.empty() || std::find(folder.begin(), folder.end(), ':') != folder.end()) {
        return false;
    }
    // Without a PATH, or a default path whole, there is nothing to put the folder after: the
    // shell's own search stays, rather than one that starts with the current folder.
    if (inherited == nullptr && (defaults_size == 0 || defaults_size > longest + 1)) {
        return false;
    }
    const std::string_view before(inherited != nullptr ? inherited : defaults);
    // An empty one gets no colon, which would add the current folder.
    const std::size_t size = before.size() + (before.empty() ? 0 : 1) + folder.size();
    if (size > longest) {
        return false;
    }
    char *at = std::copy(before.begin(), before.end(), path);
    if (!before.empty()) {
        *at++ = ':';
    }
    *std::copy(folder.begin(), folder.end(), at) = '\0';
    return true;
}

} // namespace search_path
