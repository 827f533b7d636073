// tests/plugin/navigator_corpus_test.cpp: real images from public test suites through the
// format object and its navigators, as the host reads them, against the values that other
// tools determined (expected.tsv, metadata.tsv).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "metadata/exif_date_text.h"
#include "pixelfold/pixelfold.h"
#include "plugin/image_property_items.h"
#include "support/corpus_table.h"
#include "support/exiftool_values.h"
#include "support/plugin_objects.h"
#include "support/wide_text.h"
#include "support/wine.h"

namespace pixelfold::test {
namespace {

#if defined(PIXELFOLD_PROPERTY_SOURCE_GDIPLUS)
constexpr bool kGdiplusSource = true;
#else
constexpr bool kGdiplusSource = false;
#endif

TEST(NavigatorCorpusTest, HeaderValuesMatchExpectedTable) {
    const auto rows = ReadCorpusTable("expected.tsv");
    if (!rows) GTEST_SKIP() << "no corpus at " << CorpusDir().string() << "; nothing compared";
    const ComRef<IVltFileFormat> format = NewFormatObject();
    int compared = 0;
    for (const TableRow& f : *rows) {
        ASSERT_GE(f.size(), 6u) << f.at(0);
        SCOPED_TRACE(f[0]);
        ComRef<IVltFileNavigator> navigator;
        const HRESULT hr = OpenNavigatorOf(
            format.get(), WideFromPath(CorpusDir() / PathFromUtf8(f[0])), navigator);
        ASSERT_TRUE(ResultNamed(f[2]).has_value()) << f[2];
        EXPECT_EQ(*ResultNamed(f[2]), hr);
        ++compared;
        if (hr != S_OK) continue;
        RequestArray requests({{WTEXT("Width")}, {WTEXT("Height")}, {WTEXT("Color Depth")}});
        ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests));
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(1, requests[i].found);
            EXPECT_EQ(VT_I4, requests[i].value.vt);
            EXPECT_EQ(f[3 + i].empty() ? 0 : std::stoi(f[3 + i]), requests[i].value.lVal);
        }
    }
    std::cout << "[ corpus   ] " << compared << " files opened through the format object\n";
}

// exiftool's tag names and the variable names that ask for them; none for tags without a row.
const std::map<std::string, const WCHAR*> kVariableNames = {
    {"Make", WTEXT("PropertyTagEquipMake")},
    {"Model", WTEXT("PropertyTagEquipModel")},
    {"ModifyDate", WTEXT("PropertyTagDateTime")},
    {"DateTimeOriginal", WTEXT("PropertyTagExifDTOrig")},
    {"CreateDate", WTEXT("PropertyTagExifDTDigitized")},
    {"ExposureTime", WTEXT("PropertyTagExifExposureTime")},
    {"FNumber", WTEXT("PropertyTagExifFNumber")},
    {"ISO", WTEXT("PropertyTagExifISOSpeed")},
    {"FocalLength", WTEXT("PropertyTagExifFocalLength")},
    {"Orientation", WTEXT("PropertyTagOrientation")},
    {"XResolution", WTEXT("PropertyTagXResolution")},
    {"YResolution", WTEXT("PropertyTagYResolution")},
    {"ResolutionUnit", WTEXT("PropertyTagResolutionUnit")},
    {"Artist", WTEXT("PropertyTagArtist")},
    {"Copyright", WTEXT("PropertyTagCopyright")},
    {"Software", WTEXT("PropertyTagSoftwareUsed")},
    {"ImageDescription", WTEXT("PropertyTagImageDescription")},
    {"GPSLatitude", WTEXT("PropertyTagGpsLatitude")},
    {"GPSLatitudeRef", WTEXT("PropertyTagGpsLatitudeRef")},
    {"GPSAltitude", WTEXT("PropertyTagGpsAltitude")},
    {"ExifVersion", WTEXT("PropertyTagExifVer")},
    {"ColorSpace", WTEXT("PropertyTagExifColorSpace")},
    {"Flash", WTEXT("PropertyTagExifFlash")},
    {"MeteringMode", WTEXT("PropertyTagExifMeteringMode")},
    {"WhiteBalance", nullptr},
};
const std::set<std::string> kDateTags = {"ModifyDate", "DateTimeOriginal", "CreateDate"};

// The answer's text with each CR LF back to the LF the file holds.
std::string AnsweredText(const VARIANT& value) {
    std::string text = Utf8FromWide(WideString(value.bstrVal, SysStringLen(value.bstrVal)));
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

// Whether the build's source of property items (here Wine's GDI+) can open the file at all.
bool WineGdiplusDecodes(const std::string& file) {
    ProbedImage image;
    image.Open(WideFromPath(CorpusDir() / PathFromUtf8(file)).c_str());
    return LoadPropertyItems(image);
}

// Two or more numbers separated by blanks, as exiftool prints an array ("undef" and "inf" for
// zero denominators).
bool IsNumberList(const std::string& text) {
    const std::vector<std::string> parts = Split(text, ' ');
    if (parts.size() < 2) return false;
    for (const std::string& part : parts) {
        if (part == "undef" || part == "inf") continue;
        char* end = nullptr;
        std::strtod(part.c_str(), &end);
        if (part.empty() || *end != 0) return false;
    }
    return true;
}

// Empty when the answer is what exiftool's value makes us expect; otherwise what is wrong.
std::optional<std::string> Disagreement(const std::string& tag, const std::string& group,
                                        const std::string& expected, const ValueRequest& r) {
    const bool present = group != "-";
    // No row, an undefined-type value, several numbers: the navigator cannot answer.
    const bool answerable = kVariableNames.at(tag) != nullptr && tag != "ExifVersion";
    if (!present || !answerable) {
        return r.found == 0 ? std::nullopt : std::optional<std::string>("answered");
    }
    if (r.found == 0) {
        // Several numbers are refused by the converter; text with blanks is still text.
        if (r.value.vt == VT_EMPTY && IsNumberList(expected)) return std::nullopt;
        return std::string("unanswered");
    }
    switch (r.value.vt) {
        case VT_BSTR:
            if (TrimTrailingBlanks(AnsweredText(r.value)) == TrimTrailingBlanks(expected)) {
                return std::nullopt;
            }
            return "text '" + AnsweredText(r.value) + "'";
        case VT_DATE: {
            SYSTEMTIME fields{};
            DATE date = 0;
            if (kDateTags.contains(tag) && ScanExifDateText(expected, fields) &&
                ValidExifDate(fields, date) && std::fabs(date - r.value.date) < 1e-7) {
                return std::nullopt;
            }
            return "date " + std::to_string(r.value.date);
        }
        case VT_I4:
            if (SameNumber(r.value.lVal, expected)) return std::nullopt;
            return "number " + std::to_string(r.value.lVal);
        case VT_R8:
            if (SameNumber(r.value.dblVal, expected)) return std::nullopt;
            return "number " + std::to_string(r.value.dblVal);
        default:
            return "type " + std::to_string(r.value.vt);
    }
}

// Under Wine, GDI+ is Wine's, which reads no EXIF from JPEG files and cannot decode some TIFF
// files (12-bit samples, unusual compressions): for those the navigator must answer none of
// these names. Everywhere else (the built-in reader, Windows' GDI+) it answers
// what exiftool found, apart from the disagreements the reader's own test accepts.
TEST(NavigatorCorpusTest, MetadataMatchesIndependentDecoder) {
    const auto rows = ReadCorpusTable("metadata.tsv");
    if (!rows) GTEST_SKIP() << "no corpus at " << CorpusDir().string() << "; nothing compared";
    const bool wineGdiplus = kGdiplusSource && RunningUnderWine();
    const ComRef<IVltFileFormat> format = NewFormatObject();

    std::map<std::string, std::vector<const TableRow*> > byFile;
    for (const TableRow& f : *rows) {
        const std::string extension = f[0].substr(f[0].rfind('.') + 1);
        if (f.size() >= 5 && (extension == "jpg" || extension == "tif" || extension == "tiff")) {
            byFile[f[0]].push_back(&f);
        }
    }
    int compared = 0;
    int answered = 0;
    std::vector<std::string> failures;
    for (const auto& [file, tags] : byFile) {
        ComRef<IVltFileNavigator> navigator;
        const HRESULT hr = OpenNavigatorOf(
            format.get(), WideFromPath(CorpusDir() / PathFromUtf8(file)), navigator);
        if (hr != S_OK) continue;  // header failures are the header test's concern
        const bool wineHasNothing =
            wineGdiplus && (file.ends_with(".jpg") || !WineGdiplusDecodes(file));
        for (const TableRow* f : tags) {
            const TableRow& row = *f;
            ASSERT_TRUE(kVariableNames.contains(row[1])) << row[1];
            const WCHAR* name = kVariableNames.at(row[1]);
            RequestArray requests(
                {{name == nullptr ? WTEXT("PropertyTagExifWhiteBalance") : name}});
            ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests));
            ++compared;
            answered += requests[0].found;
            std::optional<std::string> problem;
            if (wineHasNothing) {
                if (requests[0].found != 0) problem = "answered, but Wine's GDI+ gives no items";
            } else {
                problem = Disagreement(row[1], row[3], Unescape(row[4]), requests[0]);
            }
            const std::string key = file + "\t" + row[1];
            if (problem && !kAcceptedExiftoolDisagreements.contains(key)) {
                failures.push_back(key + ": exiftool '" + row[4] + "', navigator " + *problem);
            }
        }
    }
    std::cout << "[ corpus   ] " << compared << " metadata values asked of " << byFile.size()
              << " files, " << answered << " answered"
              << (wineGdiplus ? " (Wine's GDI+: no EXIF from JPEG)" : "") << "\n";
    EXPECT_TRUE(failures.empty()) << failures.size() << " disagreements:\n" << JoinLines(failures);
}

}  // namespace
}  // namespace pixelfold::test
