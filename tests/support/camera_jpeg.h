// tests/support/camera_jpeg.h: a JPEG shaped like a camera's: about 30 KB of EXIF with a
// thumbnail, the usual tables, then megabytes of scan data.
#pragma once

#include "support/bytes.h"

namespace pixelfold::test {

struct CameraJpeg {
    Bytes bytes;
    std::size_t metadataBytes;  // markers and payloads of the segments before the scan
};

CameraJpeg MakeCameraJpeg(std::size_t scanBytes = 4u << 20);

}  // namespace pixelfold::test
