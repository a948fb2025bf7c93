#pragma once
// The file name under which a downloaded installer package is stored, taken
// from its URL. The name is joined to the download folder, so it must never
// name a place outside it or a device.
#include <string>

namespace update {

// The plain file name at the end of `url`'s path; empty when the URL has no
// "/" or its last part is no plain file name: a name with a path separator,
// a drive colon or another character invalid in Windows file names, with
// "..", ending with a dot or blank, or a device name such as CON, NUL, COM1
// or LPT1 (with or without an extension). A query ("?") or fragment ("#")
// is cut off first, so ".../pkg.msi?x=1" gives "pkg.msi". The text is not
// percent-decoded: "%5C" stays three harmless characters.
std::string PackageFileName(const std::string& url);

}  // namespace update
