// The program's string table: English texts by resource id. Every shown text passes through
// the translation layer afterwards; this table is its English source.
#pragma once

#include <cstdint>
#include <string>

namespace res {

// The English text of a string resource; empty when the id is unknown.
std::string LoadString(std::uint32_t id);

// Every id of the table in ascending order (for writing the English language file).
const std::uint32_t* StringIds(std::size_t& count);

} // namespace res
