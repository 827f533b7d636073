// metadata/property_tag_table.cpp: the property tag table, constant data checked at compile
// time, and the lookup by name.
#include "metadata/property_tag_table.h"

#include <iterator>

#include "common/ascii_text.h"

namespace pixelfold {
namespace {

// clang-format off
constexpr PropertyTagInfo kPropertyTagTable[] = {
    // name                                               tag     attr toItem              toVariant
    {WTEXT("PropertyTagArtist"),                          0x013B, 0, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagBitsPerSample"),                   0x0102, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagCellHeight"),                      0x0109, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagCellWidth"),                       0x0108, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagChrominanceTable"),                0x5091, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagColorMap"),                        0x0140, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagColorTransferFunction"),           0x501A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagCompression"),                     0x0103, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagCopyright"),                       0x8298, 0, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagDateTime"),                        0x0132, 0, DateItemFromVariant,  VariantFromDateItem},
    {WTEXT("PropertyTagDocumentName"),                    0x010D, 0, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagDotRange"),                        0x0150, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagEquipMake"),                       0x010F, 0, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagEquipModel"),                      0x0110, 0, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifAperture"),                    0x9202, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifBrightness"),                  0x9203, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifCfaPattern"),                  0xA302, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifColorSpace"),                  0xA001, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifCompBPP"),                     0x9102, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifCompConfig"),                  0x9101, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifDTDigitized"),                 0x9004, 0, DateItemFromVariant,  VariantFromDateItem},
    {WTEXT("PropertyTagExifDTDigSS"),                     0x9292, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifDTOrig"),                      0x9003, 1, DateItemFromVariant,  VariantFromDateItem},
    {WTEXT("PropertyTagExifDTOrigSS"),                    0x9291, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifDTSubsec"),                    0x9290, 1, DateItemFromVariant,  VariantFromDateItem},
    {WTEXT("PropertyTagExifExposureBias"),                0x9204, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifExposureIndex"),               0xA215, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifExposureProg"),                0x8822, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifExposureTime"),                0x829A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFileSource"),                  0xA300, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFlash"),                       0x9209, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFlashEnergy"),                 0xA20B, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFNumber"),                     0x829D, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFocalLength"),                 0x920A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFocalResUnit"),                0xA210, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFocalXRes"),                   0xA20E, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFocalYRes"),                   0xA20F, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifFPXVer"),                      0xA000, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifIFD"),                         0x8769, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifInterop"),                     0xA005, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifISOSpeed"),                    0x8827, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifLightSource"),                 0x9208, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifMakerNote"),                   0x927C, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifMaxAperture"),                 0x9205, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifMeteringMode"),                0x9207, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifOECF"),                        0x8828, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifPixXDim"),                     0xA002, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifPixYDim"),                     0xA003, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifRelatedWav"),                  0xA004, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifSceneType"),                   0xA301, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifSensingMethod"),               0xA217, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifShutterSpeed"),                0x9201, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifSpatialFR"),                   0xA20C, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifSpectralSense"),               0x8824, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifSubjectDist"),                 0x9206, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifSubjectLoc"),                  0xA214, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifUserComment"),                 0x9286, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExifVer"),                         0x9000, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagExtraSamples"),                    0x0152, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagFillOrder"),                       0x010A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagFrameDelay"),                      0x5100, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagFreeByteCounts"),                  0x0121, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagFreeOffset"),                      0x0120, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGamma"),                           0x0301, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGlobalPalette"),                   0x5102, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsAltitude"),                     0x0006, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsAltitudeRef"),                  0x0005, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsDestBear"),                     0x0018, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsDestBearRef"),                  0x0017, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsDestDist"),                     0x001A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsDestDistRef"),                  0x0019, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsDestLat"),                      0x0014, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsDestLatRef"),                   0x0013, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsDestLong"),                     0x0016, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsDestLongRef"),                  0x0015, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsGpsDop"),                       0x000B, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsGpsMeasureMode"),               0x000A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsGpsSatellites"),                0x0008, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsGpsStatus"),                    0x0009, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsGpsTime"),                      0x0007, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsIFD"),                          0x8825, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsImgDir"),                       0x0011, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsImgDirRef"),                    0x0010, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsLatitude"),                     0x0002, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsLatitudeRef"),                  0x0001, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsLongitude"),                    0x0004, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsLongitudeRef"),                 0x0003, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsMapDatum"),                     0x0012, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsSpeed"),                        0x000D, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsSpeedRef"),                     0x000C, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsTrack"),                        0x000F, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsTrackRef"),                     0x000E, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGpsVer"),                          0x0000, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGrayResponseCurve"),               0x0123, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGrayResponseUnit"),                0x0122, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagGridSize"),                        0x5011, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagHalftoneDegree"),                  0x500C, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagHalftoneHints"),                   0x0141, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagHalftoneLPI"),                     0x500A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagHalftoneLPIUnit"),                 0x500B, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagHalftoneMisc"),                    0x500E, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagHalftoneScreen"),                  0x500F, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagHalftoneShape"),                   0x500D, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagHostComputer"),                    0x013C, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagICCProfile"),                      0x8773, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagICCProfileDescriptor"),            0x0302, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagImageDescription"),                0x010E, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagImageHeight"),                     0x0101, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagImageTitle"),                      0x0320, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagImageWidth"),                      0x0100, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagIndexBackground"),                 0x5103, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagIndexTransparent"),                0x5104, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagInkNames"),                        0x014D, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagInkSet"),                          0x014C, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGACTables"),                    0x0209, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGDCTables"),                    0x0208, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGInterFormat"),                 0x0201, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGInterLength"),                 0x0202, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGLosslessPredictors"),          0x0205, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGPointTransforms"),             0x0206, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGProc"),                        0x0200, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGQTables"),                     0x0207, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGQuality"),                     0x5010, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagJPEGRestartInterval"),             0x0203, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagLoopCount"),                       0x5101, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagLuminanceTable"),                  0x5090, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagMaxSampleValue"),                  0x0119, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagMinSampleValue"),                  0x0118, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagNewSubfileType"),                  0x00FE, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagNumberOfInks"),                    0x014E, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagOrientation"),                     0x0112, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPageName"),                        0x011D, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPageNumber"),                      0x0129, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPaletteHistogram"),                0x5113, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPhotometricInterp"),               0x0106, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPixelPerUnitX"),                   0x5111, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPixelPerUnitY"),                   0x5112, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPixelUnit"),                       0x5110, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPlanarConfig"),                    0x011C, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPredictor"),                       0x013D, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPrimaryChromaticities"),           0x013F, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPrintFlags"),                      0x5005, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPrintFlagsBleedWidth"),            0x5008, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPrintFlagsBleedWidthScale"),       0x5009, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPrintFlagsCrop"),                  0x5007, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagPrintFlagsVersion"),               0x5006, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagREFBlackWhite"),                   0x0214, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagResolutionUnit"),                  0x0128, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagResolutionXLengthUnit"),           0x5003, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagResolutionXUnit"),                 0x5001, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagResolutionYLengthUnit"),           0x5004, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagResolutionYUnit"),                 0x5002, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagRowsPerStrip"),                    0x0116, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagSampleFormat"),                    0x0153, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagSamplesPerPixel"),                 0x0115, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagSMaxSampleValue"),                 0x0155, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagSMinSampleValue"),                 0x0154, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagSoftwareUsed"),                    0x0131, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagSRGBRenderingIntent"),             0x0303, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagStripBytesCount"),                 0x0117, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagStripOffsets"),                    0x0111, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagSubfileType"),                     0x00FF, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagT4Option"),                        0x0124, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagT6Option"),                        0x0125, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagTargetPrinter"),                   0x0151, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThreshHolding"),                   0x0107, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailArtist"),                 0x5034, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailBitsPerSample"),          0x5022, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailColorDepth"),             0x5015, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailCompressedSize"),         0x5019, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailCompression"),            0x5023, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailCopyRight"),              0x503B, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailData"),                   0x501B, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailDateTime"),               0x5033, 1, DateItemFromVariant,  VariantFromDateItem},
    {WTEXT("PropertyTagThumbnailEquipMake"),              0x5026, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailEquipModel"),             0x5027, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailFormat"),                 0x5012, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailHeight"),                 0x5014, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailImageDescription"),       0x5025, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailImageHeight"),            0x5021, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailImageWidth"),             0x5020, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailOrientation"),            0x5029, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailPhotometricInterp"),      0x5024, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailPlanarConfig"),           0x502F, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailPlanes"),                 0x5016, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailPrimaryChromaticities"),  0x5036, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailRawBytes"),               0x5017, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailRefBlackWhite"),          0x503A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailResolutionUnit"),         0x5030, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailResolutionX"),            0x502D, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailResolutionY"),            0x502E, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailRowsPerStrip"),           0x502B, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailSamplesPerPixel"),        0x502A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailSize"),                   0x5018, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailSoftwareUsed"),           0x5032, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailStripBytesCount"),        0x502C, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailStripOffsets"),           0x5028, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailTransferFunction"),       0x5031, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailWhitePoint"),             0x5035, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailWidth"),                  0x5013, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailYCbCrCoefficients"),      0x5037, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailYCbCrPositioning"),       0x5039, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagThumbnailYCbCrSubsampling"),       0x5038, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagTileByteCounts"),                  0x0145, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagTileLength"),                      0x0143, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagTileOffset"),                      0x0144, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagTileWidth"),                       0x0142, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagTransferFunction"),                0x012D, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagTransferRange"),                   0x0156, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagWhitePoint"),                      0x013E, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagXPosition"),                       0x011E, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagXResolution"),                     0x011A, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagYCbCrCoefficients"),               0x0211, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagYCbCrPositioning"),                0x0213, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagYCbCrSubsampling"),                0x0212, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagYPosition"),                       0x011F, 1, NoItemFromVariant,    VariantFromItem},
    {WTEXT("PropertyTagYResolution"),                     0x011B, 1, NoItemFromVariant,    VariantFromItem},
};
// clang-format on

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
    for (std::size_t i = 1; i < std::size(kPropertyTagTable); ++i) {
        if (CompareFolded(kPropertyTagTable[i - 1].name, kPropertyTagTable[i].name) >= 0) {
            return false;
        }
    }
    return true;
}

constexpr bool TagsAreUnique() {
    for (std::size_t i = 0; i < std::size(kPropertyTagTable); ++i) {
        for (std::size_t j = i + 1; j < std::size(kPropertyTagTable); ++j) {
            if (kPropertyTagTable[i].tag == kPropertyTagTable[j].tag) return false;
        }
    }
    return true;
}

template <class Predicate>
constexpr std::size_t CountRows(Predicate predicate) {
    std::size_t count = 0;
    for (const PropertyTagInfo& row : kPropertyTagTable) {
        if (predicate(row)) ++count;
    }
    return count;
}

constexpr bool IsDateRow(const PropertyTagInfo& row) {
    return row.toItem == DateItemFromVariant && row.toVariant == VariantFromDateItem;
}
constexpr bool IsOrdinaryRow(const PropertyTagInfo& row) {
    return row.toItem == NoItemFromVariant && row.toVariant == VariantFromItem;
}

static_assert(std::size(kPropertyTagTable) == 217, "the table has 217 rows");
static_assert(IsStrictlySortedByFoldedName(), "rows stay in folded A-Z order, names unique");
static_assert(TagsAreUnique(), "a tag may appear in one row only");
static_assert(CountRows([](const PropertyTagInfo& r) { return r.attributes == 0; }) == 7);
static_assert(CountRows([](const PropertyTagInfo& r) { return r.attributes == 1; }) == 210);
static_assert(CountRows(IsDateRow) == 5);
static_assert(CountRows(IsOrdinaryRow) == 212);

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
