// tests/metadata/property_tag_table_test.cpp: finding rows by name, and the table's tags
// against the constants of the platform's GDI+ header.
#include "metadata/property_tag_table.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/wide_string.h"
#include "support/param_name.h"

namespace pixelfold::test {
namespace {

struct LookupCase {
    std::string name;
    const WCHAR* lookup;
    bool found;
    PROPID tag = 0;
    int attributes = 1;
    bool dateRow = false;
};

class FindPropertyTagTest : public testing::TestWithParam<LookupCase> {};

TEST_P(FindPropertyTagTest, FindsTheRowOrNothing) {
    const LookupCase& c = GetParam();
    const PropertyTagInfo* row = FindPropertyTag(c.lookup);
    ASSERT_EQ(c.found, row != nullptr);
    if (row == nullptr) return;
    EXPECT_EQ(c.tag, row->tag);
    EXPECT_EQ(c.attributes, row->attributes);
    EXPECT_EQ(c.dateRow, row->toVariant == VariantFromDateItem);
    EXPECT_EQ(c.dateRow, row->toItem == DateItemFromVariant);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindPropertyTagTest,
    testing::Values(
        LookupCase{"Exact", WTEXT("PropertyTagArtist"), true, 0x013B, 0},
        LookupCase{"LowerCase", WTEXT("propertytagartist"), true, 0x013B, 0},
        LookupCase{"UpperCase", WTEXT("PROPERTYTAGARTIST"), true, 0x013B, 0},
        LookupCase{"TrailingBlank", WTEXT("PropertyTagArtist "), false},
        LookupCase{"LastLetterMissing", WTEXT("PropertyTagArtis"), false},
        LookupCase{"OnlyAToZFold", WTEXT("PropertyTagArt\u0130st"), false},
        LookupCase{"Width", WTEXT("Width"), false}, LookupCase{"Height", WTEXT("Height"), false},
        LookupCase{"ColorDepth", WTEXT("Color Depth"), false},
        LookupCase{"Empty", WTEXT(""), false},
        LookupCase{"TransferFunction", WTEXT("PropertyTagTransferFunction"), true, 0x012D},
        LookupCase{"GpsVersionIsTagZero", WTEXT("PropertyTagGpsVer"), true, 0x0000},
        LookupCase{"DateTime", WTEXT("PropertyTagDateTime"), true, 0x0132, 0, true},
        LookupCase{"SubsecondsIsADateRow", WTEXT("PropertyTagExifDTSubsec"), true, 0x9290, 1, true},
        LookupCase{"OriginalSubsecondsIsOrdinary", WTEXT("PropertyTagExifDTOrigSS"), true, 0x9291,
                   1},
        LookupCase{"ThumbnailDateTime", WTEXT("PropertyTagThumbnailDateTime"), true, 0x5033, 1,
                   true},
        LookupCase{"NoRowForWhiteBalance", WTEXT("PropertyTagExifWhiteBalance"), false},
        LookupCase{"LastRow", WTEXT("PropertyTagYResolution"), true, 0x011B}),
    ParamName());

TEST(FindPropertyTagTest, NullNameFindsNothing) {
    EXPECT_EQ(nullptr, FindPropertyTag(nullptr));
}

TEST(FindPropertyTagTest, EveryRowIsFoundByItsNameInAnyCase) {
    for (const PropertyTagInfo& row : PropertyTagTable()) {
        WideString upper(row.name);
        for (WCHAR& c : upper) {
            if (c >= WCHAR{'a'} && c <= WCHAR{'z'}) c = static_cast<WCHAR>(c - 32);
        }
        EXPECT_EQ(&row, FindPropertyTag(row.name));
        EXPECT_EQ(&row, FindPropertyTag(upper.c_str()));
    }
}

#if defined(_WIN32)
// The tag constants of the platform's GDI+ header, by name.
struct GdiplusTag {
    const WCHAR* name;
    PROPID tag;
};
#define GDIPLUS_TAG(constant)   \
    GdiplusTag {                \
        L## #constant, constant \
    }
// clang-format off
constexpr GdiplusTag kGdiplusTags[] = {
    GDIPLUS_TAG(PropertyTagArtist), GDIPLUS_TAG(PropertyTagBitsPerSample),
    GDIPLUS_TAG(PropertyTagCellHeight), GDIPLUS_TAG(PropertyTagCellWidth),
    GDIPLUS_TAG(PropertyTagChrominanceTable), GDIPLUS_TAG(PropertyTagColorMap),
    GDIPLUS_TAG(PropertyTagColorTransferFunction), GDIPLUS_TAG(PropertyTagCompression),
    GDIPLUS_TAG(PropertyTagCopyright), GDIPLUS_TAG(PropertyTagDateTime),
    GDIPLUS_TAG(PropertyTagDocumentName), GDIPLUS_TAG(PropertyTagDotRange),
    GDIPLUS_TAG(PropertyTagEquipMake), GDIPLUS_TAG(PropertyTagEquipModel),
    GDIPLUS_TAG(PropertyTagExifAperture), GDIPLUS_TAG(PropertyTagExifBrightness),
    GDIPLUS_TAG(PropertyTagExifCfaPattern), GDIPLUS_TAG(PropertyTagExifColorSpace),
    GDIPLUS_TAG(PropertyTagExifCompBPP), GDIPLUS_TAG(PropertyTagExifCompConfig),
    GDIPLUS_TAG(PropertyTagExifDTDigitized), GDIPLUS_TAG(PropertyTagExifDTDigSS),
    GDIPLUS_TAG(PropertyTagExifDTOrig), GDIPLUS_TAG(PropertyTagExifDTOrigSS),
    GDIPLUS_TAG(PropertyTagExifDTSubsec), GDIPLUS_TAG(PropertyTagExifExposureBias),
    GDIPLUS_TAG(PropertyTagExifExposureIndex), GDIPLUS_TAG(PropertyTagExifExposureProg),
    GDIPLUS_TAG(PropertyTagExifExposureTime), GDIPLUS_TAG(PropertyTagExifFileSource),
    GDIPLUS_TAG(PropertyTagExifFlash), GDIPLUS_TAG(PropertyTagExifFlashEnergy),
    GDIPLUS_TAG(PropertyTagExifFNumber), GDIPLUS_TAG(PropertyTagExifFocalLength),
    GDIPLUS_TAG(PropertyTagExifFocalResUnit), GDIPLUS_TAG(PropertyTagExifFocalXRes),
    GDIPLUS_TAG(PropertyTagExifFocalYRes), GDIPLUS_TAG(PropertyTagExifFPXVer),
    GDIPLUS_TAG(PropertyTagExifIFD), GDIPLUS_TAG(PropertyTagExifInterop),
    GDIPLUS_TAG(PropertyTagExifISOSpeed), GDIPLUS_TAG(PropertyTagExifLightSource),
    GDIPLUS_TAG(PropertyTagExifMakerNote), GDIPLUS_TAG(PropertyTagExifMaxAperture),
    GDIPLUS_TAG(PropertyTagExifMeteringMode), GDIPLUS_TAG(PropertyTagExifOECF),
    GDIPLUS_TAG(PropertyTagExifPixXDim), GDIPLUS_TAG(PropertyTagExifPixYDim),
    GDIPLUS_TAG(PropertyTagExifRelatedWav), GDIPLUS_TAG(PropertyTagExifSceneType),
    GDIPLUS_TAG(PropertyTagExifSensingMethod), GDIPLUS_TAG(PropertyTagExifShutterSpeed),
    GDIPLUS_TAG(PropertyTagExifSpatialFR), GDIPLUS_TAG(PropertyTagExifSpectralSense),
    GDIPLUS_TAG(PropertyTagExifSubjectDist), GDIPLUS_TAG(PropertyTagExifSubjectLoc),
    GDIPLUS_TAG(PropertyTagExifUserComment), GDIPLUS_TAG(PropertyTagExifVer),
    GDIPLUS_TAG(PropertyTagExtraSamples), GDIPLUS_TAG(PropertyTagFillOrder),
    GDIPLUS_TAG(PropertyTagFrameDelay), GDIPLUS_TAG(PropertyTagFreeByteCounts),
    GDIPLUS_TAG(PropertyTagFreeOffset), GDIPLUS_TAG(PropertyTagGamma),
    GDIPLUS_TAG(PropertyTagGlobalPalette), GDIPLUS_TAG(PropertyTagGpsAltitude),
    GDIPLUS_TAG(PropertyTagGpsAltitudeRef), GDIPLUS_TAG(PropertyTagGpsDestBear),
    GDIPLUS_TAG(PropertyTagGpsDestBearRef), GDIPLUS_TAG(PropertyTagGpsDestDist),
    GDIPLUS_TAG(PropertyTagGpsDestDistRef), GDIPLUS_TAG(PropertyTagGpsDestLat),
    GDIPLUS_TAG(PropertyTagGpsDestLatRef), GDIPLUS_TAG(PropertyTagGpsDestLong),
    GDIPLUS_TAG(PropertyTagGpsDestLongRef), GDIPLUS_TAG(PropertyTagGpsGpsDop),
    GDIPLUS_TAG(PropertyTagGpsGpsMeasureMode), GDIPLUS_TAG(PropertyTagGpsGpsSatellites),
    GDIPLUS_TAG(PropertyTagGpsGpsStatus), GDIPLUS_TAG(PropertyTagGpsGpsTime),
    GDIPLUS_TAG(PropertyTagGpsIFD), GDIPLUS_TAG(PropertyTagGpsImgDir),
    GDIPLUS_TAG(PropertyTagGpsImgDirRef), GDIPLUS_TAG(PropertyTagGpsLatitude),
    GDIPLUS_TAG(PropertyTagGpsLatitudeRef), GDIPLUS_TAG(PropertyTagGpsLongitude),
    GDIPLUS_TAG(PropertyTagGpsLongitudeRef), GDIPLUS_TAG(PropertyTagGpsMapDatum),
    GDIPLUS_TAG(PropertyTagGpsSpeed), GDIPLUS_TAG(PropertyTagGpsSpeedRef),
    GDIPLUS_TAG(PropertyTagGpsTrack), GDIPLUS_TAG(PropertyTagGpsTrackRef),
    GDIPLUS_TAG(PropertyTagGpsVer), GDIPLUS_TAG(PropertyTagGrayResponseCurve),
    GDIPLUS_TAG(PropertyTagGrayResponseUnit), GDIPLUS_TAG(PropertyTagGridSize),
    GDIPLUS_TAG(PropertyTagHalftoneDegree), GDIPLUS_TAG(PropertyTagHalftoneHints),
    GDIPLUS_TAG(PropertyTagHalftoneLPI), GDIPLUS_TAG(PropertyTagHalftoneLPIUnit),
    GDIPLUS_TAG(PropertyTagHalftoneMisc), GDIPLUS_TAG(PropertyTagHalftoneScreen),
    GDIPLUS_TAG(PropertyTagHalftoneShape), GDIPLUS_TAG(PropertyTagHostComputer),
    GDIPLUS_TAG(PropertyTagICCProfile), GDIPLUS_TAG(PropertyTagICCProfileDescriptor),
    GDIPLUS_TAG(PropertyTagImageDescription), GDIPLUS_TAG(PropertyTagImageHeight),
    GDIPLUS_TAG(PropertyTagImageTitle), GDIPLUS_TAG(PropertyTagImageWidth),
    GDIPLUS_TAG(PropertyTagIndexBackground), GDIPLUS_TAG(PropertyTagIndexTransparent),
    GDIPLUS_TAG(PropertyTagInkNames), GDIPLUS_TAG(PropertyTagInkSet),
    GDIPLUS_TAG(PropertyTagJPEGACTables), GDIPLUS_TAG(PropertyTagJPEGDCTables),
    GDIPLUS_TAG(PropertyTagJPEGInterFormat), GDIPLUS_TAG(PropertyTagJPEGInterLength),
    GDIPLUS_TAG(PropertyTagJPEGLosslessPredictors), GDIPLUS_TAG(PropertyTagJPEGPointTransforms),
    GDIPLUS_TAG(PropertyTagJPEGProc), GDIPLUS_TAG(PropertyTagJPEGQTables),
    GDIPLUS_TAG(PropertyTagJPEGQuality), GDIPLUS_TAG(PropertyTagJPEGRestartInterval),
    GDIPLUS_TAG(PropertyTagLoopCount), GDIPLUS_TAG(PropertyTagLuminanceTable),
    GDIPLUS_TAG(PropertyTagMaxSampleValue), GDIPLUS_TAG(PropertyTagMinSampleValue),
    GDIPLUS_TAG(PropertyTagNewSubfileType), GDIPLUS_TAG(PropertyTagNumberOfInks),
    GDIPLUS_TAG(PropertyTagOrientation), GDIPLUS_TAG(PropertyTagPageName),
    GDIPLUS_TAG(PropertyTagPageNumber), GDIPLUS_TAG(PropertyTagPaletteHistogram),
    GDIPLUS_TAG(PropertyTagPhotometricInterp), GDIPLUS_TAG(PropertyTagPixelPerUnitX),
    GDIPLUS_TAG(PropertyTagPixelPerUnitY), GDIPLUS_TAG(PropertyTagPixelUnit),
    GDIPLUS_TAG(PropertyTagPlanarConfig), GDIPLUS_TAG(PropertyTagPredictor),
    GDIPLUS_TAG(PropertyTagPrimaryChromaticities), GDIPLUS_TAG(PropertyTagPrintFlags),
    GDIPLUS_TAG(PropertyTagPrintFlagsBleedWidth), GDIPLUS_TAG(PropertyTagPrintFlagsBleedWidthScale),
    GDIPLUS_TAG(PropertyTagPrintFlagsCrop), GDIPLUS_TAG(PropertyTagPrintFlagsVersion),
    GDIPLUS_TAG(PropertyTagREFBlackWhite), GDIPLUS_TAG(PropertyTagResolutionUnit),
    GDIPLUS_TAG(PropertyTagResolutionXLengthUnit), GDIPLUS_TAG(PropertyTagResolutionXUnit),
    GDIPLUS_TAG(PropertyTagResolutionYLengthUnit), GDIPLUS_TAG(PropertyTagResolutionYUnit),
    GDIPLUS_TAG(PropertyTagRowsPerStrip), GDIPLUS_TAG(PropertyTagSampleFormat),
    GDIPLUS_TAG(PropertyTagSamplesPerPixel), GDIPLUS_TAG(PropertyTagSMaxSampleValue),
    GDIPLUS_TAG(PropertyTagSMinSampleValue), GDIPLUS_TAG(PropertyTagSoftwareUsed),
    GDIPLUS_TAG(PropertyTagSRGBRenderingIntent), GDIPLUS_TAG(PropertyTagStripBytesCount),
    GDIPLUS_TAG(PropertyTagStripOffsets), GDIPLUS_TAG(PropertyTagSubfileType),
    GDIPLUS_TAG(PropertyTagT4Option), GDIPLUS_TAG(PropertyTagT6Option),
    GDIPLUS_TAG(PropertyTagTargetPrinter), GDIPLUS_TAG(PropertyTagThreshHolding),
    GDIPLUS_TAG(PropertyTagThumbnailArtist), GDIPLUS_TAG(PropertyTagThumbnailBitsPerSample),
    GDIPLUS_TAG(PropertyTagThumbnailColorDepth), GDIPLUS_TAG(PropertyTagThumbnailCompressedSize),
    GDIPLUS_TAG(PropertyTagThumbnailCompression), GDIPLUS_TAG(PropertyTagThumbnailCopyRight),
    GDIPLUS_TAG(PropertyTagThumbnailData), GDIPLUS_TAG(PropertyTagThumbnailDateTime),
    GDIPLUS_TAG(PropertyTagThumbnailEquipMake), GDIPLUS_TAG(PropertyTagThumbnailEquipModel),
    GDIPLUS_TAG(PropertyTagThumbnailFormat), GDIPLUS_TAG(PropertyTagThumbnailHeight),
    GDIPLUS_TAG(PropertyTagThumbnailImageDescription), GDIPLUS_TAG(PropertyTagThumbnailImageHeight),
    GDIPLUS_TAG(PropertyTagThumbnailImageWidth), GDIPLUS_TAG(PropertyTagThumbnailOrientation),
    GDIPLUS_TAG(PropertyTagThumbnailPhotometricInterp), GDIPLUS_TAG(PropertyTagThumbnailPlanarConfig),
    GDIPLUS_TAG(PropertyTagThumbnailPlanes), GDIPLUS_TAG(PropertyTagThumbnailPrimaryChromaticities),
    GDIPLUS_TAG(PropertyTagThumbnailRawBytes), GDIPLUS_TAG(PropertyTagThumbnailRefBlackWhite),
    GDIPLUS_TAG(PropertyTagThumbnailResolutionUnit), GDIPLUS_TAG(PropertyTagThumbnailResolutionX),
    GDIPLUS_TAG(PropertyTagThumbnailResolutionY), GDIPLUS_TAG(PropertyTagThumbnailRowsPerStrip),
    GDIPLUS_TAG(PropertyTagThumbnailSamplesPerPixel), GDIPLUS_TAG(PropertyTagThumbnailSize),
    GDIPLUS_TAG(PropertyTagThumbnailSoftwareUsed), GDIPLUS_TAG(PropertyTagThumbnailStripBytesCount),
    GDIPLUS_TAG(PropertyTagThumbnailStripOffsets), GDIPLUS_TAG(PropertyTagThumbnailTransferFunction),
    GDIPLUS_TAG(PropertyTagThumbnailWhitePoint), GDIPLUS_TAG(PropertyTagThumbnailWidth),
    GDIPLUS_TAG(PropertyTagThumbnailYCbCrCoefficients), GDIPLUS_TAG(PropertyTagThumbnailYCbCrPositioning),
    GDIPLUS_TAG(PropertyTagThumbnailYCbCrSubsampling), GDIPLUS_TAG(PropertyTagTileByteCounts),
    GDIPLUS_TAG(PropertyTagTileLength), GDIPLUS_TAG(PropertyTagTileOffset),
    GDIPLUS_TAG(PropertyTagTileWidth), GDIPLUS_TAG(PropertyTagTransferFunction),
    GDIPLUS_TAG(PropertyTagTransferRange), GDIPLUS_TAG(PropertyTagWhitePoint),
    GDIPLUS_TAG(PropertyTagXPosition), GDIPLUS_TAG(PropertyTagXResolution),
    GDIPLUS_TAG(PropertyTagYCbCrCoefficients), GDIPLUS_TAG(PropertyTagYCbCrPositioning),
    GDIPLUS_TAG(PropertyTagYCbCrSubsampling), GDIPLUS_TAG(PropertyTagYPosition),
    GDIPLUS_TAG(PropertyTagYResolution),
};
// clang-format on
#undef GDIPLUS_TAG

TEST(PropertyTagTableTest, TagsEqualTheGdiplusConstantsOfTheSameName) {
    const auto table = PropertyTagTable();
    ASSERT_EQ(std::size(kGdiplusTags), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(WideString(kGdiplusTags[i].name), WideString(table[i].name));
        EXPECT_EQ(kGdiplusTags[i].tag, table[i].tag) << "row " << i;
    }
}
#endif

}  // namespace
}  // namespace pixelfold::test
