#pragma once
// The screenshot gallery: pictures of windows written as PNG files into the
// build tree with an index page that shows them side by side, each compared
// with its committed reference. With RAVELIN_GALLERY_UPDATE=1 in the
// environment the pictures become the new references instead
// (tools/update-gallery.sh).
#include <string>
#include <vector>

#include "lib/wfc/DIB.h"

namespace skintest {

// Writes a 24-bit DIB as a PNG file through GDI+.
bool SaveDibAsPng(const lib::wfc::CDIB& dib, const std::string& path);

struct ImageDifference {
    bool sameSize = false;
    int differing = 0;  // pixels with a channel off by more than the tolerance
    int total = 0;
};
ImageDifference CompareImages(const lib::wfc::CDIB& actual, const lib::wfc::CDIB& expected, int tolerance);

class Gallery {
public:
    // `outputFolder` and `referenceFolder` end with a backslash.
    Gallery(std::string outputFolder, std::string referenceFolder);

    // Saves the picture; "" when it matches its reference, else what differs.
    std::string Add(const std::string& name, const std::string& caption, const lib::wfc::CDIB& picture);
    // index.html with every picture added, its caption and its result.
    void WriteIndex() const;
    const std::string& OutputFolder() const noexcept { return output_; }

private:
    struct Shot {
        std::string name, caption, result;
    };
    std::string output_;
    std::string reference_;
    bool updating_;
    std::vector<Shot> shots_;
};

}  // namespace skintest
