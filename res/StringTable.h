#pragma once

#include "res/StringIds.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace oskel::res {

// The program's string table: message texts, captions and formats by id.

// The text of id, or nullopt when the table has no such string.
std::optional<std::string_view> FindString(unsigned id);

// The text of id; empty when the table has no such string.
std::string LoadString(unsigned id);

// Every entry, in ascending id order.
const std::vector<std::pair<unsigned, std::string_view>>& AllStrings();

} // namespace oskel::res
