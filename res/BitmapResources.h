#pragma once

#include <string>
#include <string_view>

// The named bitmap and icon resources and the files in res/ that hold them.
namespace oskel::res {

// The file name (inside res/) of the bitmap resource with this name, or ""
// when there is none. Names compare without regard to case, as resource
// names do: the UPLOAD button's caption "&UPLOAD" plus "U" names "&UPLOADU".
std::string_view FindBitmapFile(std::string_view name);

// The file name (inside res/) of the icon with this id, or "".
std::string_view FindIconFile(unsigned id);

} // namespace oskel::res
