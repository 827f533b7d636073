// tests/support/exiftool_values.cpp: exiftool's values for the corpus files.
#include "support/exiftool_values.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pixelfold::test {

const std::map<std::string, std::string> kAcceptedExiftoolDisagreements = {
    {"exif-samples/jpg/Pentax_K10D.jpg\tWhiteBalance",
     "stored in IFD0; the table lists the tag only in its own group (ExifIFD)"},
    {"exif-samples/jpg/tests/11-tests.jpg\tWhiteBalance",
     "stored in IFD0; the table lists the tag only in its own group (ExifIFD)"},
    {"pillow/hopper_bad_exif.jpg\tOrientation",
     "IFD0 declares more entries than the segment holds: the entries inside it are kept, "
     "exiftool drops the whole directory"},
    {"pillow/hopper_bad_exif.jpg\tResolutionUnit", "as Orientation"},
    {"pillow/hopper_bad_exif.jpg\tXResolution", "as Orientation"},
    {"pillow/hopper_bad_exif.jpg\tYResolution", "as Orientation"},
    {"metadata-extractor-images/jpg/Ricoh DC-3Z (low res).jpg\tCopyright",
     "the text holds a Windows-1252 byte (u with diaeresis), which exiftool printed as '?'"},
    {"pillow/multiple_exif.jpg\tImageDescription",
     "EXIF split over two APP1 segments: only the first segment is read, as one TIFF block; "
     "the value lies in the second, which exiftool appends"},
    {"pillow/jfif_unit_cm.jpg\tImageDescription", "as pillow/multiple_exif.jpg"},
    {"pillow/hopper_bigtiff.tif\tOrientation", "BigTIFF (version 43) is not read"},
    {"pillow/hopper_bigtiff.tif\tXResolution", "BigTIFF (version 43) is not read"},
    {"pillow/hopper_bigtiff.tif\tYResolution", "BigTIFF (version 43) is not read"},
    {"pillow/hopper_bigtiff.tif\tResolutionUnit", "BigTIFF (version 43) is not read"},
    {"pillow/hopper_bigtiff.tif\tImageDescription", "BigTIFF (version 43) is not read"},
};

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 't' || text[i + 1] == 'n')) {
            out += text[++i] == 't' ? '\t' : '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string TrimTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

bool SameNumber(double got, const std::string& want) {
    if (std::isnan(got)) return want == "undef";
    if (std::isinf(got)) return want == "inf";
    char* end = nullptr;
    const double w = std::strtod(want.c_str(), &end);
    if (end == want.c_str() || *end != 0) return false;
    return std::fabs(got - w) <= 1e-6 * std::max(1.0, std::fabs(w));
}

}  // namespace pixelfold::test
