// metadata/property_tag_table.cpp: the property tag table, constant data checked at compile
// time, and the lookup by name.
#include "metadata/property_tag_table.h"

#include <array>
#include <iterator>

#include "common/ascii_text.h"

namespace pixelfold {
namespace {

// The converters of a row: plain values, or EXIF dates.
enum RowKind { kPlain, kDate };

struct RowSpec {
    const WCHAR* name;
    PROPID tag;
    BYTE attributes;
    RowKind kind;
};

// clang-format off
constexpr RowSpec kRows[] = {
    // name                                               tag     attr kind
    {WTEXT("PropertyTagArtist"),                          0x013B, 0, kPlain},
    {WTEXT("PropertyTagBitsPerSample"),                   0x0102, 1, kPlain},
    {WTEXT("PropertyTagCellHeight"),                      0x0109, 1, kPlain},
    {WTEXT("PropertyTagCellWidth"),                       0x0108, 1, kPlain},
    {WTEXT("PropertyTagChrominanceTable"),                0x5091, 1, kPlain},
    {WTEXT("PropertyTagColorMap"),                        0x0140, 1, kPlain},
    {WTEXT("PropertyTagColorTransferFunction"),           0x501A, 1, kPlain},
    {WTEXT("PropertyTagCompression"),                     0x0103, 1, kPlain},
    {WTEXT("PropertyTagCopyright"),                       0x8298, 0, kPlain},
    {WTEXT("PropertyTagDateTime"),                        0x0132, 0, kDate},
    {WTEXT("PropertyTagDocumentName"),                    0x010D, 0, kPlain},
    {WTEXT("PropertyTagDotRange"),                        0x0150, 1, kPlain},
    {WTEXT("PropertyTagEquipMake"),                       0x010F, 0, kPlain},
    {WTEXT("PropertyTagEquipModel"),                      0x0110, 0, kPlain},
    {WTEXT("PropertyTagExifAperture"),                    0x9202, 1, kPlain},
    {WTEXT("PropertyTagExifBrightness"),                  0x9203, 1, kPlain},
    {WTEXT("PropertyTagExifCfaPattern"),                  0xA302, 1, kPlain},
    {WTEXT("PropertyTagExifColorSpace"),                  0xA001, 1, kPlain},
    {WTEXT("PropertyTagExifCompBPP"),                     0x9102, 1, kPlain},
    {WTEXT("PropertyTagExifCompConfig"),                  0x9101, 1, kPlain},
    {WTEXT("PropertyTagExifDTDigitized"),                 0x9004, 0, kDate},
    {WTEXT("PropertyTagExifDTDigSS"),                     0x9292, 1, kPlain},
    {WTEXT("PropertyTagExifDTOrig"),                      0x9003, 1, kDate},
    {WTEXT("PropertyTagExifDTOrigSS"),                    0x9291, 1, kPlain},
    {WTEXT("PropertyTagExifDTSubsec"),                    0x9290, 1, kDate},
    {WTEXT("PropertyTagExifExposureBias"),                0x9204, 1, kPlain},
    {WTEXT("PropertyTagExifExposureIndex"),               0xA215, 1, kPlain},
    {WTEXT("PropertyTagExifExposureProg"),                0x8822, 1, kPlain},
    {WTEXT("PropertyTagExifExposureTime"),                0x829A, 1, kPlain},
    {WTEXT("PropertyTagExifFileSource"),                  0xA300, 1, kPlain},
    {WTEXT("PropertyTagExifFlash"),                       0x9209, 1, kPlain},
    {WTEXT("PropertyTagExifFlashEnergy"),                 0xA20B, 1, kPlain},
    {WTEXT("PropertyTagExifFNumber"),                     0x829D, 1, kPlain},
    {WTEXT("PropertyTagExifFocalLength"),                 0x920A, 1, kPlain},
    {WTEXT("PropertyTagExifFocalResUnit"),                0xA210, 1, kPlain},
    {WTEXT("PropertyTagExifFocalXRes"),                   0xA20E, 1, kPlain},
    {WTEXT("PropertyTagExifFocalYRes"),                   0xA20F, 1, kPlain},
    {WTEXT("PropertyTagExifFPXVer"),                      0xA000, 1, kPlain},
    {WTEXT("PropertyTagExifIFD"),                         0x8769, 1, kPlain},
    {WTEXT("PropertyTagExifInterop"),                     0xA005, 1, kPlain},
    {WTEXT("PropertyTagExifISOSpeed"),                    0x8827, 1, kPlain},
    {WTEXT("PropertyTagExifLightSource"),                 0x9208, 1, kPlain},
    {WTEXT("PropertyTagExifMakerNote"),                   0x927C, 1, kPlain},
    {WTEXT("PropertyTagExifMaxAperture"),                 0x9205, 1, kPlain},
    {WTEXT("PropertyTagExifMeteringMode"),                0x9207, 1, kPlain},
    {WTEXT("PropertyTagExifOECF"),                        0x8828, 1, kPlain},
    {WTEXT("PropertyTagExifPixXDim"),                     0xA002, 1, kPlain},
    {WTEXT("PropertyTagExifPixYDim"),                     0xA003, 1, kPlain},
    {WTEXT("PropertyTagExifRelatedWav"),                  0xA004, 1, kPlain},
    {WTEXT("PropertyTagExifSceneType"),                   0xA301, 1, kPlain},
    {WTEXT("PropertyTagExifSensingMethod"),               0xA217, 1, kPlain},
    {WTEXT("PropertyTagExifShutterSpeed"),                0x9201, 1, kPlain},
    {WTEXT("PropertyTagExifSpatialFR"),                   0xA20C, 1, kPlain},
    {WTEXT("PropertyTagExifSpectralSense"),               0x8824, 1, kPlain},
    {WTEXT("PropertyTagExifSubjectDist"),                 0x9206, 1, kPlain},
    {WTEXT("PropertyTagExifSubjectLoc"),                  0xA214, 1, kPlain},
    {WTEXT("PropertyTagExifUserComment"),                 0x9286, 1, kPlain},
    {WTEXT("PropertyTagExifVer"),                         0x9000, 1, kPlain},
    {WTEXT("PropertyTagExtraSamples"),                    0x0152, 1, kPlain},
    {WTEXT("PropertyTagFillOrder"),                       0x010A, 1, kPlain},
    {WTEXT("PropertyTagFrameDelay"),                      0x5100, 1, kPlain},
    {WTEXT("PropertyTagFreeByteCounts"),                  0x0121, 1, kPlain},
    {WTEXT("PropertyTagFreeOffset"),                      0x0120, 1, kPlain},
    {WTEXT("PropertyTagGamma"),                           0x0301, 1, kPlain},
    {WTEXT("PropertyTagGlobalPalette"),                   0x5102, 1, kPlain},
    {WTEXT("PropertyTagGpsAltitude"),                     0x0006, 1, kPlain},
    {WTEXT("PropertyTagGpsAltitudeRef"),                  0x0005, 1, kPlain},
    {WTEXT("PropertyTagGpsDestBear"),                     0x0018, 1, kPlain},
    {WTEXT("PropertyTagGpsDestBearRef"),                  0x0017, 1, kPlain},
    {WTEXT("PropertyTagGpsDestDist"),                     0x001A, 1, kPlain},
    {WTEXT("PropertyTagGpsDestDistRef"),                  0x0019, 1, kPlain},
    {WTEXT("PropertyTagGpsDestLat"),                      0x0014, 1, kPlain},
    {WTEXT("PropertyTagGpsDestLatRef"),                   0x0013, 1, kPlain},
    {WTEXT("PropertyTagGpsDestLong"),                     0x0016, 1, kPlain},
    {WTEXT("PropertyTagGpsDestLongRef"),                  0x0015, 1, kPlain},
    {WTEXT("PropertyTagGpsGpsDop"),                       0x000B, 1, kPlain},
    {WTEXT("PropertyTagGpsGpsMeasureMode"),               0x000A, 1, kPlain},
    {WTEXT("PropertyTagGpsGpsSatellites"),                0x0008, 1, kPlain},
    {WTEXT("PropertyTagGpsGpsStatus"),                    0x0009, 1, kPlain},
    {WTEXT("PropertyTagGpsGpsTime"),                      0x0007, 1, kPlain},
    {WTEXT("PropertyTagGpsIFD"),                          0x8825, 1, kPlain},
    {WTEXT("PropertyTagGpsImgDir"),                       0x0011, 1, kPlain},
    {WTEXT("PropertyTagGpsImgDirRef"),                    0x0010, 1, kPlain},
    {WTEXT("PropertyTagGpsLatitude"),                     0x0002, 1, kPlain},
    {WTEXT("PropertyTagGpsLatitudeRef"),                  0x0001, 1, kPlain},
    {WTEXT("PropertyTagGpsLongitude"),                    0x0004, 1, kPlain},
    {WTEXT("PropertyTagGpsLongitudeRef"),                 0x0003, 1, kPlain},
    {WTEXT("PropertyTagGpsMapDatum"),                     0x0012, 1, kPlain},
    {WTEXT("PropertyTagGpsSpeed"),                        0x000D, 1, kPlain},
    {WTEXT("PropertyTagGpsSpeedRef"),                     0x000C, 1, kPlain},
    {WTEXT("PropertyTagGpsTrack"),                        0x000F, 1, kPlain},
    {WTEXT("PropertyTagGpsTrackRef"),                     0x000E, 1, kPlain},
    {WTEXT("PropertyTagGpsVer"),                          0x0000, 1, kPlain},
    {WTEXT("PropertyTagGrayResponseCurve"),               0x0123, 1, kPlain},
    {WTEXT("PropertyTagGrayResponseUnit"),                0x0122, 1, kPlain},
    {WTEXT("PropertyTagGridSize"),                        0x5011, 1, kPlain},
    {WTEXT("PropertyTagHalftoneDegree"),                  0x500C, 1, kPlain},
    {WTEXT("PropertyTagHalftoneHints"),                   0x0141, 1, kPlain},
    {WTEXT("PropertyTagHalftoneLPI"),                     0x500A, 1, kPlain},
    {WTEXT("PropertyTagHalftoneLPIUnit"),                 0x500B, 1, kPlain},
    {WTEXT("PropertyTagHalftoneMisc"),                    0x500E, 1, kPlain},
    {WTEXT("PropertyTagHalftoneScreen"),                  0x500F, 1, kPlain},
    {WTEXT("PropertyTagHalftoneShape"),                   0x500D, 1, kPlain},
    {WTEXT("PropertyTagHostComputer"),                    0x013C, 1, kPlain},
    {WTEXT("PropertyTagICCProfile"),                      0x8773, 1, kPlain},
    {WTEXT("PropertyTagICCProfileDescriptor"),            0x0302, 1, kPlain},
    {WTEXT("PropertyTagImageDescription"),                0x010E, 1, kPlain},
    {WTEXT("PropertyTagImageHeight"),                     0x0101, 1, kPlain},
    {WTEXT("PropertyTagImageTitle"),                      0x0320, 1, kPlain},
    {WTEXT("PropertyTagImageWidth"),                      0x0100, 1, kPlain},
    {WTEXT("PropertyTagIndexBackground"),                 0x5103, 1, kPlain},
    {WTEXT("PropertyTagIndexTransparent"),                0x5104, 1, kPlain},
    {WTEXT("PropertyTagInkNames"),                        0x014D, 1, kPlain},
    {WTEXT("PropertyTagInkSet"),                          0x014C, 1, kPlain},
    {WTEXT("PropertyTagJPEGACTables"),                    0x0209, 1, kPlain},
    {WTEXT("PropertyTagJPEGDCTables"),                    0x0208, 1, kPlain},
    {WTEXT("PropertyTagJPEGInterFormat"),                 0x0201, 1, kPlain},
    {WTEXT("PropertyTagJPEGInterLength"),                 0x0202, 1, kPlain},
    {WTEXT("PropertyTagJPEGLosslessPredictors"),          0x0205, 1, kPlain},
    {WTEXT("PropertyTagJPEGPointTransforms"),             0x0206, 1, kPlain},
    {WTEXT("PropertyTagJPEGProc"),                        0x0200, 1, kPlain},
    {WTEXT("PropertyTagJPEGQTables"),                     0x0207, 1, kPlain},
    {WTEXT("PropertyTagJPEGQuality"),                     0x5010, 1, kPlain},
    {WTEXT("PropertyTagJPEGRestartInterval"),             0x0203, 1, kPlain},
    {WTEXT("PropertyTagLoopCount"),                       0x5101, 1, kPlain},
    {WTEXT("PropertyTagLuminanceTable"),                  0x5090, 1, kPlain},
    {WTEXT("PropertyTagMaxSampleValue"),                  0x0119, 1, kPlain},
    {WTEXT("PropertyTagMinSampleValue"),                  0x0118, 1, kPlain},
    {WTEXT("PropertyTagNewSubfileType"),                  0x00FE, 1, kPlain},
    {WTEXT("PropertyTagNumberOfInks"),                    0x014E, 1, kPlain},
    {WTEXT("PropertyTagOrientation"),                     0x0112, 1, kPlain},
    {WTEXT("PropertyTagPageName"),                        0x011D, 1, kPlain},
    {WTEXT("PropertyTagPageNumber"),                      0x0129, 1, kPlain},
    {WTEXT("PropertyTagPaletteHistogram"),                0x5113, 1, kPlain},
    {WTEXT("PropertyTagPhotometricInterp"),               0x0106, 1, kPlain},
    {WTEXT("PropertyTagPixelPerUnitX"),                   0x5111, 1, kPlain},
    {WTEXT("PropertyTagPixelPerUnitY"),                   0x5112, 1, kPlain},
    {WTEXT("PropertyTagPixelUnit"),                       0x5110, 1, kPlain},
    {WTEXT("PropertyTagPlanarConfig"),                    0x011C, 1, kPlain},
    {WTEXT("PropertyTagPredictor"),                       0x013D, 1, kPlain},
    {WTEXT("PropertyTagPrimaryChromaticities"),           0x013F, 1, kPlain},
    {WTEXT("PropertyTagPrintFlags"),                      0x5005, 1, kPlain},
    {WTEXT("PropertyTagPrintFlagsBleedWidth"),            0x5008, 1, kPlain},
    {WTEXT("PropertyTagPrintFlagsBleedWidthScale"),       0x5009, 1, kPlain},
    {WTEXT("PropertyTagPrintFlagsCrop"),                  0x5007, 1, kPlain},
    {WTEXT("PropertyTagPrintFlagsVersion"),               0x5006, 1, kPlain},
    {WTEXT("PropertyTagREFBlackWhite"),                   0x0214, 1, kPlain},
    {WTEXT("PropertyTagResolutionUnit"),                  0x0128, 1, kPlain},
    {WTEXT("PropertyTagResolutionXLengthUnit"),           0x5003, 1, kPlain},
    {WTEXT("PropertyTagResolutionXUnit"),                 0x5001, 1, kPlain},
    {WTEXT("PropertyTagResolutionYLengthUnit"),           0x5004, 1, kPlain},
    {WTEXT("PropertyTagResolutionYUnit"),                 0x5002, 1, kPlain},
    {WTEXT("PropertyTagRowsPerStrip"),                    0x0116, 1, kPlain},
    {WTEXT("PropertyTagSampleFormat"),                    0x0153, 1, kPlain},
    {WTEXT("PropertyTagSamplesPerPixel"),                 0x0115, 1, kPlain},
    {WTEXT("PropertyTagSMaxSampleValue"),                 0x0155, 1, kPlain},
    {WTEXT("PropertyTagSMinSampleValue"),                 0x0154, 1, kPlain},
    {WTEXT("PropertyTagSoftwareUsed"),                    0x0131, 1, kPlain},
    {WTEXT("PropertyTagSRGBRenderingIntent"),             0x0303, 1, kPlain},
    {WTEXT("PropertyTagStripBytesCount"),                 0x0117, 1, kPlain},
    {WTEXT("PropertyTagStripOffsets"),                    0x0111, 1, kPlain},
    {WTEXT("PropertyTagSubfileType"),                     0x00FF, 1, kPlain},
    {WTEXT("PropertyTagT4Option"),                        0x0124, 1, kPlain},
    {WTEXT("PropertyTagT6Option"),                        0x0125, 1, kPlain},
    {WTEXT("PropertyTagTargetPrinter"),                   0x0151, 1, kPlain},
    {WTEXT("PropertyTagThreshHolding"),                   0x0107, 1, kPlain},
    {WTEXT("PropertyTagThumbnailArtist"),                 0x5034, 1, kPlain},
    {WTEXT("PropertyTagThumbnailBitsPerSample"),          0x5022, 1, kPlain},
    {WTEXT("PropertyTagThumbnailColorDepth"),             0x5015, 1, kPlain},
    {WTEXT("PropertyTagThumbnailCompressedSize"),         0x5019, 1, kPlain},
    {WTEXT("PropertyTagThumbnailCompression"),            0x5023, 1, kPlain},
    {WTEXT("PropertyTagThumbnailCopyRight"),              0x503B, 1, kPlain},
    {WTEXT("PropertyTagThumbnailData"),                   0x501B, 1, kPlain},
    {WTEXT("PropertyTagThumbnailDateTime"),               0x5033, 1, kDate},
    {WTEXT("PropertyTagThumbnailEquipMake"),              0x5026, 1, kPlain},
    {WTEXT("PropertyTagThumbnailEquipModel"),             0x5027, 1, kPlain},
    {WTEXT("PropertyTagThumbnailFormat"),                 0x5012, 1, kPlain},
    {WTEXT("PropertyTagThumbnailHeight"),                 0x5014, 1, kPlain},
    {WTEXT("PropertyTagThumbnailImageDescription"),       0x5025, 1, kPlain},
    {WTEXT("PropertyTagThumbnailImageHeight"),            0x5021, 1, kPlain},
    {WTEXT("PropertyTagThumbnailImageWidth"),             0x5020, 1, kPlain},
    {WTEXT("PropertyTagThumbnailOrientation"),            0x5029, 1, kPlain},
    {WTEXT("PropertyTagThumbnailPhotometricInterp"),      0x5024, 1, kPlain},
    {WTEXT("PropertyTagThumbnailPlanarConfig"),           0x502F, 1, kPlain},
    {WTEXT("PropertyTagThumbnailPlanes"),                 0x5016, 1, kPlain},
    {WTEXT("PropertyTagThumbnailPrimaryChromaticities"),  0x5036, 1, kPlain},
    {WTEXT("PropertyTagThumbnailRawBytes"),               0x5017, 1, kPlain},
    {WTEXT("PropertyTagThumbnailRefBlackWhite"),          0x503A, 1, kPlain},
    {WTEXT("PropertyTagThumbnailResolutionUnit"),         0x5030, 1, kPlain},
    {WTEXT("PropertyTagThumbnailResolutionX"),            0x502D, 1, kPlain},
    {WTEXT("PropertyTagThumbnailResolutionY"),            0x502E, 1, kPlain},
    {WTEXT("PropertyTagThumbnailRowsPerStrip"),           0x502B, 1, kPlain},
    {WTEXT("PropertyTagThumbnailSamplesPerPixel"),        0x502A, 1, kPlain},
    {WTEXT("PropertyTagThumbnailSize"),                   0x5018, 1, kPlain},
    {WTEXT("PropertyTagThumbnailSoftwareUsed"),           0x5032, 1, kPlain},
    {WTEXT("PropertyTagThumbnailStripBytesCount"),        0x502C, 1, kPlain},
    {WTEXT("PropertyTagThumbnailStripOffsets"),           0x5028, 1, kPlain},
    {WTEXT("PropertyTagThumbnailTransferFunction"),       0x5031, 1, kPlain},
    {WTEXT("PropertyTagThumbnailWhitePoint"),             0x5035, 1, kPlain},
    {WTEXT("PropertyTagThumbnailWidth"),                  0x5013, 1, kPlain},
    {WTEXT("PropertyTagThumbnailYCbCrCoefficients"),      0x5037, 1, kPlain},
    {WTEXT("PropertyTagThumbnailYCbCrPositioning"),       0x5039, 1, kPlain},
    {WTEXT("PropertyTagThumbnailYCbCrSubsampling"),       0x5038, 1, kPlain},
    {WTEXT("PropertyTagTileByteCounts"),                  0x0145, 1, kPlain},
    {WTEXT("PropertyTagTileLength"),                      0x0143, 1, kPlain},
    {WTEXT("PropertyTagTileOffset"),                      0x0144, 1, kPlain},
    {WTEXT("PropertyTagTileWidth"),                       0x0142, 1, kPlain},
    {WTEXT("PropertyTagTransferFunction"),                0x012D, 1, kPlain},
    {WTEXT("PropertyTagTransferRange"),                   0x0156, 1, kPlain},
    {WTEXT("PropertyTagWhitePoint"),                      0x013E, 1, kPlain},
    {WTEXT("PropertyTagXPosition"),                       0x011E, 1, kPlain},
    {WTEXT("PropertyTagXResolution"),                     0x011A, 1, kPlain},
    {WTEXT("PropertyTagYCbCrCoefficients"),               0x0211, 1, kPlain},
    {WTEXT("PropertyTagYCbCrPositioning"),                0x0213, 1, kPlain},
    {WTEXT("PropertyTagYCbCrSubsampling"),                0x0212, 1, kPlain},
    {WTEXT("PropertyTagYPosition"),                       0x011F, 1, kPlain},
    {WTEXT("PropertyTagYResolution"),                     0x011B, 1, kPlain},
};
// clang-format on

constexpr std::size_t kRowCount = std::size(kRows);

constexpr std::array<PropertyTagInfo, kRowCount> MakeTable() {
    std::array<PropertyTagInfo, kRowCount> table{};
    for (std::size_t i = 0; i < kRowCount; ++i) {
        const RowSpec& r = kRows[i];
        table[i] = r.kind == kDate ? PropertyTagInfo{r.name, r.tag, r.attributes,
                                                     DateItemFromVariant, VariantFromDateItem}
                                   : PropertyTagInfo{r.name, r.tag, r.attributes, NoItemFromVariant,
                                                     VariantFromItem};
    }
    return table;
}

constexpr std::array<PropertyTagInfo, kRowCount> kPropertyTagTable = MakeTable();

// Compares NUL-terminated names after folding A to Z: negative, zero or positive.
constexpr int CompareFolded(const WCHAR* a, const WCHAR* b) noexcept {
    for (;; ++a, ++b) {
        const WCHAR x = FoldAsciiUpper(*a);
        const WCHAR y = FoldAsciiUpper(*b);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

// Strict order also rules out two names that differ only in case.
constexpr bool IsStrictlySortedByFoldedName() {
    for (std::size_t i = 1; i < kRowCount; ++i) {
        if (CompareFolded(kRows[i - 1].name, kRows[i].name) >= 0) {
            return false;
        }
    }
    return true;
}

constexpr bool TagsAreUnique() {
    for (std::size_t i = 0; i < kRowCount; ++i) {
        for (std::size_t j = i + 1; j < kRowCount; ++j) {
            if (kRows[i].tag == kRows[j].tag) return false;
        }
    }
    return true;
}

template <class Predicate>
constexpr std::size_t CountRows(Predicate predicate) {
    std::size_t count = 0;
    for (const RowSpec& row : kRows) {
        if (predicate(row)) ++count;
    }
    return count;
}

static_assert(kRowCount == 217, "the table has 217 rows");
static_assert(IsStrictlySortedByFoldedName(), "rows stay in folded A-Z order, names unique");
static_assert(TagsAreUnique(), "a tag may appear in one row only");
static_assert(CountRows([](const RowSpec& r) { return r.attributes == 0; }) == 7);
static_assert(CountRows([](const RowSpec& r) { return r.attributes == 1; }) == 210);
static_assert(CountRows([](const RowSpec& r) { return r.kind == kDate; }) == 5);

}  // namespace

std::span<const PropertyTagInfo> PropertyTagTable() noexcept {
    return kPropertyTagTable;
}

const PropertyTagInfo* FindPropertyTag(const WCHAR* name) noexcept {
    if (name == nullptr) return nullptr;
    for (const PropertyTagInfo& row : kPropertyTagTable) {
        if (CompareFolded(row.name, name) == 0) return &row;
    }
    return nullptr;
}

}  // namespace pixelfold
